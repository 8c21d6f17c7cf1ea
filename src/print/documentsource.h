#pragma once

#include <QtGlobal>

class TPagePrinter;

/// A document that writes itself a piece at a time (a table row, say)
/// through the page printer's writing operations, so that the page printer
/// can lay out as much of it as it needs and any page again later
/// (TPagePrinter::LayOutDocument).
class DocumentSource
{
public:
    virtual ~DocumentSource() = default;

    virtual qsizetype pieceCount() const = 0;
    /// Writes piece 0 … pieceCount() - 1 on the page printer as the pieces
    /// before it left it. The same piece written from the same state must
    /// write the same: that is how a page is laid out again.
    virtual void writePiece(TPagePrinter &printer, qsizetype piece) = 0;
};
