#include "app/recognizer.h"

#include "core/days.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

const days::Day kToday = days::Encode(2025, 7, 14);

struct Case
{
    const char* text; // UTF-8 here, scanned as Shift_JIS
    int begin;
    int end;
    const char* date; // yyyy-mm-dd, "" for none
    const char* place;
};

void Check(const Case& c, days::Day today)
{
    SCOPED_TRACE(c.text);
    const TParsedText parsed = ParseText(sjis::FromUtf8(c.text));
    EXPECT_EQ(parsed.begin, c.begin);
    EXPECT_EQ(parsed.end, c.end);
    const auto date = ResolveParsedDate(parsed.date, today);
    EXPECT_EQ(date ? days::FormatIso(*date) : "", c.date);
    EXPECT_EQ(sjis::ToUtf8(parsed.place), c.place);
}

} // namespace

TEST(Recognizer, WrittenExamples)
{
    const Case cases[] = {
        { "10時～12時", 600, 720, "", "" },
        { "10:00", 600, 615, "", "" },
        { "10時30分", 630, 645, "", "" },
        { "１０：００～１２：００", 600, 720, "", "" },
        { "14:00-13:00", 840, 855, "", "" },
        { "26:00", 0, 0, "", "" },
        { "10:30:15", 0, 0, "", "" },
        { "0:00", 0, 0, "", "" },
        { "15", 0, 0, "", "" },
        { "12/25", 0, 0, "2025-12-25", "" },
        { "12月25日", 0, 0, "2025-12-25", "" },
        { "2025年3月", 0, 0, "2025-03-01", "" },
        { "25/3/1", 0, 0, "2025-03-01", "" },
        { "95/3/1", 0, 0, "1995-03-01", "" },
        { "2/30", 0, 0, "2025-02-14", "" },
        { "12月25日 10時～12時", 600, 720, "2025-12-25", "" },
        { "場所：第3会議室\r\n以上です", 0, 0, "", "第3会議室" },
        { "場所は本館です\r\n会場：大ホール", 0, 0, "", "大ホール" },
        { "会場：大ホール\r\n場所は本館", 0, 0, "", "" },
        { "会議の場所：", 0, 0, "", "" },
        { "場所\r\n\r\n　本館　2F \r\nほか", 0, 0, "", "本館 2F" },
    };
    for (const Case& c : cases)
        Check(c, kToday);
}

TEST(Recognizer, MendedCases)
{
    const Case cases[] = {
        // A lone time survives a number after it; a later range still wins.
        { "打合せ 10:00 3F会議室", 600, 615, "", "" },
        { "10:00 3F\r\n11:00-12:00", 660, 720, "", "" },
        { "10:00-10:00", 600, 615, "", "" },
        // Only blanks and colons separate the keyword from the place.
        { "場所：日本橋", 0, 0, "", "日本橋" },
        { "場所: 時計台前", 0, 0, "", "時計台前" },
        // Long digit runs neither overflow nor make a date or a time.
        { "1234567890123456789012345678901234567890/1", 0, 0, "", "" },
        { "10:99999999999999999999", 0, 0, "", "" },
        { "12345/1/1 または 12/25", 0, 0, "2025-12-25", "" },
        // A three-digit day does not spill into the month.
        { "3/115", 0, 0, "2025-03-14", "" },
    };
    for (const Case& c : cases)
        Check(c, kToday);

    // Today's day beyond the recognized month falls back to its last day.
    const days::Day endOfMonth = days::Encode(2025, 7, 31);
    Check({ "2/30", 0, 0, "2025-02-28", "" }, endOfMonth);
    Check({ "2024年2月30日", 0, 0, "2024-02-29", "" }, endOfMonth);
    Check({ "9/31", 0, 0, "2025-09-30", "" }, endOfMonth);
}

TEST(Recognizer, TextEndsCleanly)
{
    // A dangling lead byte, a NUL and a keyword at the very end.
    EXPECT_EQ(ParseText("10:00\x82").end, 615);
    EXPECT_EQ(ParseText(std::string("10:00\0 11:00", 12)).end, 615);
    EXPECT_FALSE(ParseText(sjis::FromUtf8("場所")).HasPlace());
    EXPECT_FALSE(ParseText(sjis::FromUtf8("場所") + "\x81").HasPlace());
    // A lead byte in front takes the keyword's first byte as its trail byte.
    EXPECT_FALSE(ParseText("\x83" + sjis::FromUtf8("場所：x")).HasPlace());
}

TEST(Recognizer, NewItemFromSubjectAndMemo)
{
    const days::Day given = days::Encode(2025, 8, 1);
    auto fill =
        PrefillNewEvent(sjis::FromUtf8("会議 10:00-11:00"),
                        sjis::FromUtf8("14:00-15:00\r\n12/25\r\n場所：本館"), given, kToday);
    EXPECT_EQ(fill.startTime, 600);
    EXPECT_EQ(fill.endTime, 660);
    EXPECT_TRUE(fill.hasTime);
    EXPECT_EQ(days::FormatIso(fill.date), "2025-12-25");
    EXPECT_EQ(sjis::ToUtf8(fill.place), "本館");

    fill = PrefillNewEvent(sjis::FromUtf8("お知らせ"), "", given, kToday);
    EXPECT_FALSE(fill.hasTime || fill.startTime || fill.endTime || !fill.place.empty());
    EXPECT_EQ(fill.date, given);
}

TEST(Recognizer, MemoMenuAndItsActions)
{
    const std::string room = sjis::FromUtf8("本館");
    TParsedText parsed = ParseText(room);
    TMemoMenuState menu = MemoMenuState(room, parsed, false);
    EXPECT_TRUE(menu.subject && menu.place && menu.copy);
    EXPECT_FALSE(menu.time || menu.date || menu.all || menu.paste);
    EXPECT_EQ(ResolveParsed(parsed, room, paPlace, kToday).place, room);
    EXPECT_EQ(ResolveParsed(parsed, room, paSubject, kToday).subject, room);

    const std::string timed = sjis::FromUtf8("10:00-11:30 会場：別館");
    parsed = ParseText(timed);
    menu = MemoMenuState(timed, parsed, true);
    EXPECT_TRUE(menu.time && menu.all && menu.copy && menu.paste);
    EXPECT_FALSE(menu.subject || menu.place || menu.date);
    TParsedChanges changes = ResolveParsed(parsed, timed, paTime, kToday);
    EXPECT_EQ(changes.noTime, false);
    EXPECT_EQ(changes.begin, 600);
    EXPECT_EQ(changes.end, 690);
    EXPECT_EQ(sjis::ToUtf8(changes.place.value_or("")), "別館");
    EXPECT_FALSE(changes.date || changes.subject);

    // Converting everything from a date alone makes the item untimed.
    const std::string dated = "12/24";
    parsed = ParseText(dated);
    menu = MemoMenuState(dated, parsed, false);
    EXPECT_TRUE(menu.date && menu.all);
    EXPECT_FALSE(menu.subject || menu.time);
    changes = ResolveParsed(parsed, dated, paAll, kToday);
    EXPECT_EQ(changes.noTime, true);
    EXPECT_EQ(changes.date, days::Encode(2025, 12, 24));
    EXPECT_FALSE(changes.place);
    EXPECT_FALSE(ResolveParsed(parsed, dated, paTime, kToday).date);

    menu = MemoMenuState("", ParseText(""), true);
    EXPECT_FALSE(menu.subject || menu.place || menu.time || menu.date || menu.all || menu.copy);
    EXPECT_TRUE(menu.paste);
    changes = ResolveParsed(parsed, dated, kMemoMenuCopyTag, kToday);
    EXPECT_FALSE(changes.subject || changes.place || changes.noTime || changes.date);
}

TEST(Recognizer, LargeTextWithManyFalseKeywords)
{
    // About 5 MB holding some 50000 "会場" that fail their gate and no "場所":
    // a search that restarted from each of them would not finish.
    std::string block = sjis::FromUtf8("会場は") + std::string(90, 'x');
    std::string text;
    text.reserve(5u << 20);
    while (text.size() < (5u << 20))
        text += block;
    text += sjis::FromUtf8("会場：最後の部屋");
    EXPECT_EQ(sjis::ToUtf8(ParseText(text).place), "最後の部屋");
}

TEST(Recognizer, RandomMutationsStayWithinBounds)
{
    const std::vector<std::string> seeds = {
        sjis::FromUtf8("会議 10時～12時 12月25日\r\n場所：本館　3F\r\n"),
        sjis::FromUtf8("２０２５年３月１日 １０：００－１１：３０ 会場 大ホール"),
        "25/3/1 14:00-13:00 2/30 10:30:15",
    };
    // Slices of this are inserted, so that characters get cut as well.
    const std::string dict =
        sjis::FromUtf8("場所：会場　時分月年日／．～－０９") + ":/.-\r\n90\x82";
    std::mt19937 rng(20250714);
    for (int round = 0; round < 20000; ++round) {
        std::string text = seeds[rng() % seeds.size()];
        for (int edits = 1 + rng() % 6; edits > 0; --edits) {
            const std::size_t at = rng() % (text.size() + 1);
            switch (rng() % 4) {
            case 0:
                text.insert(at, dict.substr(rng() % dict.size(), 1 + rng() % 4));
                break;
            case 1:
                if (at < text.size())
                    text[at] = static_cast<char>(rng());
                break;
            case 2:
                text.erase(at, rng() % 4);
                break;
            default:
                text.resize(at);
            }
        }
        // An exact-size copy, so that a read past the end is caught.
        auto buffer = std::make_unique<char[]>(text.size());
        std::copy(text.begin(), text.end(), buffer.get());
        const TParsedText parsed = ParseText(std::string_view(buffer.get(), text.size()));
        SCOPED_TRACE(testing::PrintToString(text));
        ASSERT_GE(parsed.begin, 0);
        ASSERT_LE(parsed.begin, 1500);
        if (parsed.HasTime())
            ASSERT_GT(parsed.end, parsed.begin);
        else
            ASSERT_EQ(parsed.end, 0);
        ASSERT_EQ(parsed.place, sjis::Trim(parsed.place));
        ASSERT_EQ(parsed.place.find_first_of("\r\n"), std::string::npos);
        const auto date = ResolveParsedDate(parsed.date, kToday);
        ASSERT_TRUE(!date || (parsed.HasDate() && days::IsShown(*date)));
    }
}
