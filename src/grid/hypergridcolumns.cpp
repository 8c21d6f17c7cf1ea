#include "hypergridcolumns.h"

#include "celltable.h"
#include "errors.h"

#include <algorithm>

ThgHeading::ThgHeading(ThgHeadings *collection)
    : m_collection(collection)
{ }

ThgHeading::~ThgHeading() = default;

int ThgHeading::Index() const
{
    return m_collection ? m_collection->IndexOf(this) : -1;
}

void ThgHeading::changed(ThgChangeKind kind)
{
    if (m_collection && m_collection->ItemChanged)
        m_collection->ItemChanged(this, kind);
}

void ThgHeading::setTitleFont(const QFont &font)
{
    m_titleParentFont = false;
    replace(m_titleFont, font);
}

void ThgColumn::setColumnFont(const QFont &font)
{
    m_columnParentFont = false;
    replace(m_columnFont, font);
}

ThgHeadings::ThgHeadings() = default;

ThgHeadings::~ThgHeadings() = default;

ThgHeading *ThgHeadings::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw ListIndexError(index);
    return m_items[index].get();
}

ThgHeading *ThgHeadings::Add()
{
    std::unique_ptr<ThgHeading> item = createItem();
    item->setName(UniqueItemName());
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

void ThgHeadings::Delete(int index)
{
    Items(index); // range check
    m_items.erase(m_items.begin() + index);
}

void ThgHeadings::Move(int from, int to)
{
    Items(from);
    Items(to);
    moveItem(m_items, from, to);
}

int ThgHeadings::IndexOf(const ThgHeading *item) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[i].get() == item)
            return i;
    return -1;
}

QString ThgHeadings::UniqueItemName() const
{
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("Column %1").arg(n);
        const bool taken
            = std::any_of(m_items.begin(), m_items.end(), [&](const auto &item) { return item->Name() == candidate; });
        if (!taken)
            return candidate;
    }
}

std::unique_ptr<ThgHeading> ThgHeadings::createItem()
{
    return std::make_unique<ThgHeading>(this);
}

std::unique_ptr<ThgHeading> ThgColumns::createItem()
{
    return std::make_unique<ThgColumn>(this);
}
