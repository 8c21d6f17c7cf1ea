// Built into startup_probe beside the program's own main(): the program
// starts as it always does and ends once its window has been painted for the
// first time.

#include "firstpaint.h"

namespace {

void exitAtFirstPaint()
{
    qApp->installEventFilter(new FirstPaintExit(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(exitAtFirstPaint)
