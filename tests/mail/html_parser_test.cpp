#include "mail/html_parser.h"

#include "core/sjis.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// The entity rules done the slow way: each named entity replaced all through
// the text, one after the other, then the numeric references.
std::string SequentialEntities(std::string s)
{
    const std::pair<const char*, const char*> named[] = {
        { "&amp;", "&" }, { "&lt;", "<" }, { "&gt;", ">" }, { "&quot;", "\"" }, { "&nbsp;", " " }
    };
    for (const auto& [from, to] : named) {
        std::string out;
        for (std::size_t i = 0; i < s.size();) {
            if (sjis::EqualsNoCase(s.substr(i, std::strlen(from)), from)) {
                out += to;
                i += std::strlen(from);
            } else {
                out += s[i++];
            }
        }
        s = out;
    }
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t j = i + 2;
        while (j < s.size() && j - i - 2 < 8 && std::isdigit(static_cast<unsigned char>(s[j])))
            ++j;
        if (s.compare(i, 2, "&#") == 0 && j > i + 2 && j - i - 2 <= 7 && j < s.size() &&
            s[j] == ';') {
            const long cp = std::stol(s.substr(i + 2, j - i - 2));
            if (cp == 10)
                out += "\r\n";
            else if (cp != 0 && cp != 13)
                out += cp < 0x80 ? std::string(1, char(cp)) : sjis::FromCodePoint(cp);
            i = j + 1;
        } else {
            out += s[i++];
        }
    }
    return out;
}

std::string Text(std::string_view html, bool decodeQuotedPrintable = true)
{
    THTMLParser parser;
    parser.SetSource(html, decodeQuotedPrintable);
    return parser.GetText();
}

} // namespace

TEST(HtmlToText, LinesCellsAndLists)
{
    EXPECT_EQ(Text("Meeting at 10<br>Room 5"), "Meeting at 10\r\nRoom 5");
    EXPECT_EQ(Text("<table><tr><td>a</td><td>b c</td></tr>\r\n<tr><th>1</th><td>2</td></tr>"
                   "</table>"),
              "a,b c,\r\n1,2,");
    // Headings end their line at the closing tag only.
    EXPECT_EQ(Text("<h1>Title</h1>Body<h6>Small</h6>x"), "Title\r\nBodySmall\r\nx");
    EXPECT_EQ(Text("<ul><li>one<li>two</ul><ol><LI>three</ol>end"), "one\r\ntwo\r\nthree\r\nend");
    EXPECT_EQ(Text("a<br><br><br>b<p></p><div>c</div>"), "a\r\nb\r\nc");
    EXPECT_EQ(Text("<dl><dt>term<dd>meaning</dl><hr>after"), "term\r\nmeaning\r\nafter");
    EXPECT_EQ(Text("a<blockquote>b</BLOCKQUOTE>c<blockquoxx>d<p2>e"), "a\r\nb\r\ncde");
    // Unknown tags and the font, bold and italic tags change nothing.
    EXPECT_EQ(Text("<body><font color=red>x</font><b>y</b><i>z</i><span>!</span></body>"), "xyz!");
}

TEST(HtmlToText, HiddenContentCommentsAndWhiteSpace)
{
    EXPECT_EQ(Text("<title>t</title><script>var a = 1 < 2;</script><style>p{}</style>"
                   "<select><option>o</select>visible"),
              "visible");
    EXPECT_EQ(Text("a<!-- x > y <b> -->b"), "ab");
    // A declaration ends at its own ">", not at a comment further on.
    EXPECT_EQ(Text("<!DOCTYPE html><p>text</p><!-- c -->more"), "text\r\nmore");
    // A line break (or TAB) in the source vanishes without leaving a blank.
    EXPECT_EQ(Text("  a \r\n   b\tc\r\nd  "), "a bcd");
    EXPECT_EQ(Text("<a\r\nhref=\"x\">link</a>"), "link");
    // A lead byte inside a tag takes the byte after it.
    EXPECT_EQ(Text("<a title=\"" + SJ("ソ") + "\">" + SJ("表") + "</a>"), SJ("表"));
    // A tag that runs to the end of the source ends the text.
    EXPECT_EQ(Text("abc<b"), "abc");
    EXPECT_EQ(Text("abc<!-- never closed"), "abc");
}

TEST(HtmlToText, Preformatted)
{
    EXPECT_EQ(Text("x<pre>\r\n  10:00  a\r\n\r\n  11:00  b</pre><p>after"),
              "x  10:00  a\r\n  11:00  b\r\nafter");
    // Only a line break right after the opening tag is dropped.
    EXPECT_EQ(Text("<pre>keep this\n x</pre>"), "keep this\r\n x");
}

TEST(HtmlToText, Entities)
{
    EXPECT_EQ(Text("a&nbsp;&nbsp;b &amp;lt; &LT;&gt;&quot;"), "a  b < <>\"");
    EXPECT_EQ(Text("&#65;&#13;&#0;B&#12354;&#0012354;&#128512;"), "AB" + SJ("ああ") + "?");
    EXPECT_EQ(Text("x&#10;y"), "x\r\ny");
    // Malformed references stay as they are.
    EXPECT_EQ(Text("&#x41; &#12345678; &#; &#65 &#6a;"), "&#x41; &#12345678; &#; &#65 &#6a;");
    EXPECT_EQ(DecodeEntities("&amp;&#38;#65;"), "&&#65;");
}

TEST(HtmlToText, EntitiesInOnePassMatchTheSequentialRules)
{
    const char* pieces[] = { "&", "amp;", "AMP;", "lt;", "gt;", "quot;", "nbsp;", "#", "6",
                             "5", "10",   "13",   ";",   "x",   "&#",    "&amp;", "0" };
    std::mt19937 rng(7);
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        for (int k = 0, n = 1 + static_cast<int>(rng() % 12); k < n; ++k)
            line += pieces[rng() % std::size(pieces)];
        ASSERT_EQ(DecodeEntities(line), SequentialEntities(line)) << line;
    }
}

TEST(HtmlToText, QuotedPrintableInTheSource)
{
    EXPECT_EQ(Text("a=3Db=\r\nc=zz"), "a=bc=zz");
    EXPECT_EQ(Text("<p>=82=A0</p>"), SJ("あ"));
    EXPECT_EQ(Text("a=3Db=\r\nc", false), "a=3Db=c");
    EXPECT_EQ(Text("x=00y"), "xy");
}

TEST(HtmlTokens, KindsTextAndThePreFlag)
{
    THTMLParser p;
    p.SetSource("<P CLASS=x>text\r\n<pre>a\r\nb</PRE><br>");
    EXPECT_EQ(p.TokenKind(), THTMLParser::tkTag);
    EXPECT_EQ(p.TokenText(), "P CLASS=x");
    EXPECT_TRUE(p.IsTag({ "br", "p" }));
    EXPECT_FALSE(p.IsTag({ "pre" }));
    p.NextToken();
    EXPECT_EQ(p.TokenKind(), THTMLParser::tkText);
    EXPECT_EQ(p.TokenText(), "text");
    p.NextToken(); // the line break is skipped outside PRE
    EXPECT_TRUE(p.IsTag({ "PRE" }));
    EXPECT_TRUE(p.Preformatted());
    p.NextToken();
    EXPECT_EQ(p.TokenText(), "a\r\n");
    p.NextToken();
    EXPECT_EQ(p.TokenText(), "b");
    p.NextToken();
    EXPECT_FALSE(p.Preformatted());
    p.NextToken();
    EXPECT_TRUE(p.IsTag({ "BR" }));
    p.NextToken();
    EXPECT_EQ(p.TokenKind(), THTMLParser::tkEnd);
    // GetText starts at the current token.
    EXPECT_EQ(p.GetText(), "");
}
