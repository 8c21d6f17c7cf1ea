#pragma once

#include "pageprinter.h"

#include <list>

/// A document laid out from its source as far as it is needed. Its pages
/// are not kept, only where each begins: the layout state as the piece began
/// that the page begins in. A page is laid out again from there, which costs
/// about as much as the page itself.
struct TPagePrinter::SourcedDocument
{
    struct PageStart
    {
        LayoutState state;
        qsizetype piece = 0;
    };

    explicit SourcedDocument(std::unique_ptr<DocumentSource> documentSource)
        : source(std::move(documentSource))
        , pieceCount(source->pieceCount() + 1)
    { }

    std::unique_ptr<DocumentSource> source;
    // Piece 0 starts page 1, with its header, footer and borders; the
    // source's pieces follow.
    qsizetype pieceCount;
    std::vector<PageStart> starts; // of every page begun
    bool complete = false;

    // Where the layout goes on.
    LayoutState front;
    std::unique_ptr<DocumentOutput> frontOutput;
    qsizetype nextPiece = 0;
    LayoutState pieceStart; // as the piece being laid out began

    /// The pages laid out again lately, the last asked for first.
    std::list<std::pair<int, PageImage>> recent;
};
