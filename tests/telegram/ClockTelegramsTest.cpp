#include "telegram/ClockTelegrams.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(ClockTelegrams, FieldsArePaddedAndTheDateCarriesTheYearsLastDigit) {
    struct Case {
        TDateTime t;
        const char* time;
        const char* date;
        const char* dateTime;
    };
    const Case cases[] = {
        {{2026, 12, 10, 8, 5, 9, 999}, "u0805", "d10126", "dU10122026080509"},
        {{2009, 1, 2, 23, 59, 0, 0}, "u2359", "d02019", "dU02012009235900"},
        {{2030, 7, 31, 0, 0, 59, 0}, "u0000", "d31070", "dU31072030000059"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeTelegram(c.t), c.time);
        EXPECT_EQ(DateTelegram(c.t), c.date);
        EXPECT_EQ(DateTimeTelegram(c.t), c.dateTime);
    }
}

TEST(ClockTelegrams, DateTimeCallIsToldByItsFirstTwoLettersInAnyCase) {
    for (const char* yes : {"dU", "DU", "du", "Du", "dU01012000000000"})
        EXPECT_TRUE(IsDateTimeCall(yes)) << yes;
    for (const char* no : {"", "d", "D", "d12345", "u1234", " dU", "Ud"})
        EXPECT_FALSE(IsDateTimeCall(no)) << no;
}

} // namespace
} // namespace vaskel
