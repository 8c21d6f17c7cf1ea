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

void ThgHeading::changed(HeadingChange kind)
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
    AddItems(1);
    return m_items.back().get();
}

void ThgHeadings::AddItems(int count)
{
    if (count <= 0)
        return;
    const QStringList names = freeItemNames(count);
    m_items.reserve(m_items.size() + names.size());
    for (const QString &name : names) {
        std::unique_ptr<ThgHeading> item = createItem();
        item->setName(name);
        m_items.push_back(std::move(item));
    }
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
    return freeItemNames(1).constFirst();
}

// The first count names "Column N" that no item's Name equals, by rising N.
// The items take at most Count() numbers, so the answers lie at or below
// Count() + count, and one pass over the names finds the numbers taken.
QStringList ThgHeadings::freeItemNames(int count) const
{
    const QLatin1StringView prefix("Column ");
    const int last = Count() + count;
    std::vector<bool> taken(last + 1);
    for (const auto &item : m_items) {
        const QString &name = item->Name();
        if (!name.startsWith(prefix))
            continue;
        const QStringView digits = QStringView(name).sliced(prefix.size());
        bool ok = false;
        const int n = digits.toInt(&ok);
        if (ok && n >= 1 && n <= last && digits == QString::number(n)) // "Column 06" takes no number
            taken[n] = true;
    }
    QStringList names;
    for (int n = 1; names.size() < count; ++n)
        if (!taken[n])
            names << prefix + QString::number(n);
    return names;
}

std::unique_ptr<ThgHeading> ThgHeadings::createItem()
{
    return std::make_unique<ThgHeading>(this);
}

std::unique_ptr<ThgHeading> ThgColumns::createItem()
{
    return std::make_unique<ThgColumn>(this);
}
