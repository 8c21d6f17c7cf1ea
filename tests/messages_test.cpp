#include "errors.h"
#include "messages.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <stdexcept>

TEST(HandlerGuard, ShowsTheFailureAndKeepsWhatWasAlreadyDone)
{
    MessageRecorder messages;
    int written = 0;
    runGuarded([&] {
        written = 1;
        throw ConversionError::invalidTime(u"25:00");
        written = 2;
    });
    EXPECT_EQ(written, 1);
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(messages.texts[0], "'25:00' is not a valid time");
    EXPECT_EQ(messages.kinds[0], MessageKind::Error);
}

TEST(HandlerGuard, CatchesEveryKindOfFailure)
{
    MessageRecorder messages;
    runGuarded([] { throw FileCreateError(QStringLiteral("/x/Hourbook.csv")); });
    runGuarded([] { throw std::runtime_error("boom"); });
    runGuarded([] { throw 42; });
    EXPECT_EQ(messages.texts, QStringList({"Cannot create file /x/Hourbook.csv", "boom", "Unexpected error"}));
}

TEST(HandlerGuard, WrapsSignalHandlersWithTheirArguments)
{
    MessageRecorder messages;
    int seen = 0;
    auto handler = guarded([&](int value) {
        seen = value;
        if (value < 0)
            throw ConversionError::invalidInteger(u"x");
    });
    handler(5);
    handler(-1);
    EXPECT_EQ(seen, -1);
    EXPECT_EQ(messages.texts, QStringList({"'x' is not a valid integer value"}));
}
