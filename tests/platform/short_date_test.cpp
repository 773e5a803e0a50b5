#include "platform/short_date.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace platform {

void PrintTo(const Date& date, std::ostream* out) {
    *out << date.year << '-' << date.month << '-' << date.day;
}

} // namespace platform

namespace {

using platform::Date;

// Names of months and weekdays come from LC_TIME; the C locale makes them
// English whatever the machine's settings.
class ShortDateTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* all = std::getenv("LC_ALL"))
            saved_ = all;
        setenv("LC_ALL", "C", 1);
    }
    void TearDown() override {
        if (saved_)
            setenv("LC_ALL", saved_->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

private:
    std::optional<std::string> saved_;
};

struct Written {
    const char* format;
    Date date;
    const char* text;
    // The order of day, month and year the format writes them in.
    const char* order;
};

class WrittenDates : public ShortDateTest, public ::testing::WithParamInterface<Written> {};

TEST_P(WrittenDates, WritesFourDigitYearsAndReadsBack) {
    const Written& row = GetParam();
    EXPECT_EQ(platform::formatDate(row.date, row.format), row.text);
    EXPECT_EQ(platform::parseDate(row.text, row.format), row.date);
    EXPECT_EQ(platform::dateOrder(row.format), row.order);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WrittenDates,
    ::testing::Values(Written{"%d/%m/%Y", {2003, 1, 20}, "20/01/2003", "DMY"},
                      Written{"%m/%d/%y", {2003, 1, 20}, "01/20/2003", "MDY"},
                      Written{"%Y-%m-%d", {2024, 7, 31}, "2024-07-31", "YMD"},
                      Written{"%d.%m.%y", {2024, 2, 29}, "29.02.2024", "DMY"},
                      Written{"%F", {987, 12, 1}, "0987-12-01", "YMD"},
                      Written{"%D", {2024, 7, 31}, "07/31/2024", "MDY"},
                      Written{"%-d/%-m/%y", {2024, 3, 5}, "5/3/2024", "DMY"},
                      Written{"%e.%m.%Y", {2024, 3, 5}, " 5.03.2024", "DMY"},
                      Written{"%d. %m. %Ey", {2024, 3, 5}, "05. 03. 2024", "DMY"},
                      Written{"%Oy/%Om/%Od", {1, 1, 1}, "0001/01/01", "YMD"},
                      Written{"%d%%%m%%%Y", {9999, 12, 31}, "31%12%9999", "DMY"},
                      Written{"%d %b, %Y", {2003, 1, 20}, "20 Jan, 2003", "DMY"},
                      Written{"%A %d %B %Y", {2003, 1, 20}, "Monday 20 January 2003", "DMY"},
                      Written{"%a %F", {1, 1, 1}, "Mon 0001-01-01", "YMD"},
                      Written{"%a %F", {2024, 2, 29}, "Thu 2024-02-29", "YMD"}));

TEST_F(ShortDateTest, EveryDayOfLeapAndCommonYearsRoundTrips) {
    for (const char* format : {"%d/%m/%Y", "%m/%d/%y", "%-d.%-m.%y", "%e %b %Y", "%a %D"}) {
        for (int year : {1, 1900, 2000, 2003, 2024, 9999}) {
            for (int month = 1; month <= 12; ++month) {
                for (int day = 1; day <= 31; ++day) {
                    const Date date{year, month, day};
                    if (!platform::isValidDate(date))
                        continue;
                    const std::string text = platform::formatDate(date, format);
                    ASSERT_EQ(platform::parseDate(text, format), date) << format << " " << text;
                }
            }
        }
    }
}

struct Unreadable {
    const char* format;
    const char* text;
};

class UnreadableTexts : public ShortDateTest, public ::testing::WithParamInterface<Unreadable> {};

TEST_P(UnreadableTexts, AreNotDates) {
    EXPECT_EQ(platform::parseDate(GetParam().text, GetParam().format), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnreadableTexts,
    ::testing::Values(Unreadable{"%d/%m/%Y", "31/02/2003"}, Unreadable{"%d/%m/%Y", "29/02/2003"},
                      Unreadable{"%d/%m/%Y", "29/02/1900"}, Unreadable{"%d/%m/%Y", "00/01/2003"},
                      Unreadable{"%d/%m/%Y", "20/13/2003"}, Unreadable{"%d/%m/%Y", "20/00/2003"},
                      Unreadable{"%d/%m/%Y", "20/01/0000"}, Unreadable{"%d/%m/%y", "20/01/03"},
                      Unreadable{"%d/%m/%Y", "20/01/20031"}, Unreadable{"%d/%m/%Y", "20-01-2003"},
                      Unreadable{"%d/%m/%Y", "20/01/2003 "}, Unreadable{"%d/%m/%Y", " 20/01/2003"},
                      Unreadable{"%d/%m/%Y", "200/01/2003"}, Unreadable{"%d/%m/%Y", "+2/01/2003"},
                      Unreadable{"%d/%m/%Y", ""}, Unreadable{"%d/%m/%Y", "20/01"},
                      Unreadable{"%F", "2003-1-20x"}, Unreadable{"%d %b %Y", "20 Jax 2003"},
                      Unreadable{"%d %b %Y", "20 January 2003"},
                      Unreadable{"%a %d/%m/%Y", "Tue 20/01/2003"},
                      Unreadable{"%d/%m/%Y %d", "20/01/2003 21"}, Unreadable{"%H:%M", "10:20"}));

TEST_F(ShortDateTest, TypedYearsMayHaveTwoDigitsFrom1950To2049) {
    using platform::YearDigits;
    const auto typed = [](const char* text, const char* format) {
        return platform::parseDate(text, format, YearDigits::FourOrTwo);
    };
    EXPECT_EQ(typed("20/01/03", "%d/%m/%y"), (Date{2003, 1, 20}));
    EXPECT_EQ(typed("20/01/49", "%d/%m/%Y"), (Date{2049, 1, 20}));
    EXPECT_EQ(typed("20/01/50", "%d/%m/%Y"), (Date{1950, 1, 20}));
    EXPECT_EQ(typed("20/01/99", "%d/%m/%y"), (Date{1999, 1, 20}));
    EXPECT_EQ(typed("20/01/2003", "%d/%m/%y"), (Date{2003, 1, 20}));
    EXPECT_EQ(typed("29/02/00", "%d/%m/%y"), (Date{2000, 2, 29}));
    EXPECT_EQ(typed("29/02/01", "%d/%m/%y"), std::nullopt);
    // One or three digits are no year.
    EXPECT_EQ(typed("20/01/3", "%d/%m/%y"), std::nullopt);
    EXPECT_EQ(typed("20/01/203", "%d/%m/%y"), std::nullopt);
    EXPECT_EQ(typed("20/01/20031", "%d/%m/%y"), std::nullopt);
    // Written text keeps its four digits.
    EXPECT_EQ(platform::parseDate("20/01/03", "%d/%m/%y"), std::nullopt);
}

TEST_F(ShortDateTest, ReadsShortDayAndMonthAndNamesInAnyCase) {
    EXPECT_EQ(platform::parseDate("5/3/2024", "%d/%m/%Y"), (Date{2024, 3, 5}));
    EXPECT_EQ(platform::parseDate("20 JAN 2003", "%d %b %Y"), (Date{2003, 1, 20}));
    EXPECT_EQ(platform::parseDate("mon 20/01/2003", "%a %d/%m/%Y"), (Date{2003, 1, 20}));
}

TEST_F(ShortDateTest, FormatsThatCannotRoundTripAreRefused) {
    for (const char* format :
         {"", "%", "%d/%m", "%m/%Y", "%d/%Y", "%x", "%H:%M", "%5d/%m/%Y", "%d/%m/%Y %H", "%j/%Y",
          "%d/%m/%Y%", "%-d%m%Y", "%e%m%Y", "%-m1/%d/%Y", "%d/%_m%Y"}) {
        EXPECT_FALSE(platform::isSupportedDateFormat(format)) << '"' << format << '"';
        EXPECT_EQ(platform::dateOrder(format), "") << '"' << format << '"';
    }
    EXPECT_EQ(platform::formatDate({2003, 1, 20}, "%d/%m"), "");
    EXPECT_EQ(platform::formatDate({2003, 2, 30}, "%d/%m/%Y"), "");
}

TEST_F(ShortDateTest, UserFormatComesFromLcTime) {
    EXPECT_EQ(platform::shortDateFormat(), "%m/%d/%y");
    EXPECT_EQ(platform::shortDateOrder(), "MDY");
    EXPECT_EQ(platform::dateToShortText({2003, 1, 20}), "01/20/2003");
    EXPECT_EQ(platform::shortTextToDate("01/20/2003"), (Date{2003, 1, 20}));
    EXPECT_EQ(platform::shortTextToDate("20/01/2003"), std::nullopt);

    // A locale that is not installed reads as the C locale.
    setenv("LC_ALL", "xx_XX.UTF-8", 1);
    EXPECT_EQ(platform::shortDateFormat(), "%m/%d/%y");
}

TEST_F(ShortDateTest, TodayIsAValidDate) {
    EXPECT_TRUE(platform::isValidDate(platform::today()));
    EXPECT_GE(platform::today().year, 2024);
}

} // namespace
