#include <nx/kit/debug.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace nx::kit::debug
{
namespace
{

TEST(DebugTest, CharacterEscapingTable)
{
    EXPECT_EQ("\\000", toDiagnosticText('\0'));
    EXPECT_EQ("\\t", toDiagnosticText('\t'));
    EXPECT_EQ("\\n", toDiagnosticText('\n'));
    EXPECT_EQ("\\r", toDiagnosticText('\r'));
    EXPECT_EQ("\\\"", toDiagnosticText('"'));
    EXPECT_EQ("\\\\", toDiagnosticText('\\'));
    EXPECT_EQ(" ", toDiagnosticText(' '));
    EXPECT_EQ("~", toDiagnosticText('~'));
    EXPECT_EQ("\\x7F\"\"", toDiagnosticText('\x7F'));
    EXPECT_EQ("\\x80\"\"", toDiagnosticText('\x80'));
    EXPECT_EQ("\\x01\"\"", toDiagnosticText('\x01'));
    EXPECT_EQ("\\x0B\"\"", toDiagnosticText('\v'));
    EXPECT_EQ("\\xFF\"\"", toDiagnosticText('\xFF'));
}

TEST(DebugTest, StringsAreQuotedAndEscaped)
{
    EXPECT_EQ("null", toDiagnosticText(static_cast<const char*>(nullptr)));
    EXPECT_EQ("\"\"", toDiagnosticText(""));
    EXPECT_EQ("\"a\\\"b\\n\"", toDiagnosticText("a\"b\n"));
    // A string object goes on past an embedded zero byte to its end.
    EXPECT_EQ("\"a\\000b\"", toDiagnosticText(std::string("a\0b", 3)));
    // A hex escape is closed so that the following digit is not read into it.
    EXPECT_EQ("\"\\x01\"\"2\"", toDiagnosticText(std::string("\x01"
                                                             "2")));
}

TEST(DebugTest, PointersPrintWithPercentP)
{
    EXPECT_EQ("null", toDiagnosticText(static_cast<const void*>(nullptr)));
    int value = 0;
    EXPECT_EQ(formatText("%p", static_cast<void*>(&value)), toDiagnosticText(&value));
    char text[] = "x";
    EXPECT_EQ("\"x\"", toDiagnosticText(text)) << "a char array is a string, not a pointer";
}

TEST(DebugTest, FormatTextMeasuresThenFormats)
{
    EXPECT_EQ("a 1 b", formatText("a %d %s", 1, "b"));
    const std::string longText(5000, 'z');
    EXPECT_EQ(longText + "!", formatText("%s!", longText.c_str()));
    EXPECT_EQ("%", formatText("%%"));
}

TEST(DebugTest, ShortSourcePathStartsAtNxAfterSrc)
{
    EXPECT_EQ("nx/sdk/helpers/lib_context.cpp",
              shortSourcePath("../../metadata_sdk/src/nx/sdk/helpers/lib_context.cpp"));
    EXPECT_EQ("nx/kit/debug.cpp", shortSourcePath(__FILE__ "/../../src/nx/kit/debug.cpp"));
    // No "src/nx" in the path: the part after what it shares with the diagnostics unit.
    const std::string ownPath = shortSourcePath(__FILE__);
    EXPECT_EQ(std::string::npos, ownPath.find("/work/")) << ownPath;
    EXPECT_NE(std::string::npos, ownPath.find("debug_test.cpp")) << ownPath;
    // A path sharing nothing comes back unchanged.
    EXPECT_EQ("relative/file.cpp", shortSourcePath("relative/file.cpp"));
}

TEST(DebugTest, SourcePrintPrefixIsTheBaseNameAndIsCached)
{
    EXPECT_EQ("[event_metadata] ", sourcePrintPrefix("/a/b/event_metadata.cpp"));
    EXPECT_EQ("[archive.tar] ", sourcePrintPrefix("/a/archive.tar.gz"));
    EXPECT_EQ("[noext] ", sourcePrintPrefix("noext"));
    EXPECT_EQ("[event_metadata] ", sourcePrintPrefix("/a/b/event_metadata.cpp"));

    std::vector<std::thread> threads;
    std::vector<std::string> results(4);
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&results, i]() { results[i] = sourcePrintPrefix("/x/y/z.cpp"); });
    for (auto& thread : threads)
        thread.join();
    for (const auto& result : results)
        EXPECT_EQ("[z] ", result);
}

TEST(DebugTest, AssertionTextLayout)
{
    std::string printed;
    const PrintFunc print = [&printed](const char* text) { printed = text; };
    reportAssertionFailure(print, "x > 0", "", "/p/src/nx/sdk/a.cpp", 35);
    EXPECT_EQ("\n>>> ASSERTION FAILED: nx/sdk/a.cpp:35 (x > 0) ", printed);

    const int x = 0;
    EXPECT_FALSE(NX_KIT_ASSERT(print, x > 0, "must be positive"));
    EXPECT_NE(std::string::npos, printed.find("debug_test.cpp:")) << printed;
    EXPECT_NE(std::string::npos, printed.find(" (x > 0) must be positive")) << printed;

    printed.clear();
    EXPECT_TRUE(NX_KIT_ASSERT(print, x == 0, "unused"));
    EXPECT_EQ("", printed);
}

TEST(DebugTest, PrintLineWritesOneFlushedLine)
{
    testing::internal::CaptureStderr();
    NX_KIT_PRINT("[prefix] ") << "value " << 42;
    NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX) << "second";
    EXPECT_EQ("[prefix] value 42\n[debug_test] second\n", testing::internal::GetCapturedStderr());

    // Without a stream buffer nothing is written, nor even evaluated; with one back, lines are.
    testing::internal::CaptureStderr();
    std::streambuf* const buffer = diagnosticStream().rdbuf(nullptr);
    int evaluated = 0;
    NX_KIT_PRINT("[prefix] ") << "dropped" << ++evaluated;
    EXPECT_EQ(0, evaluated);
    diagnosticStream().rdbuf(buffer);
    diagnosticStream().clear();
    NX_KIT_PRINT("[prefix] ") << "kept";
    EXPECT_EQ("[prefix] kept\n", testing::internal::GetCapturedStderr());
}

// Prints one line through a LineWriter into a stream buffer of the test's own (the stream
// path) and the same pieces through an output stream: the bytes must agree.
template <typename... Pieces>
void expectStreamBytes(const Pieces&... pieces)
{
    std::ostringstream expected;
    expected << "[p] ";
    (expected << ... << pieces) << '\n';
    std::stringbuf redirected;
    std::streambuf* const standardError = diagnosticStream().rdbuf(&redirected);
    {
        LineWriter line("[p] ");
        (line << ... << pieces);
    }
    diagnosticStream().rdbuf(standardError);
    EXPECT_EQ(expected.str(), redirected.str());
}

TEST(DebugTest, LinesAreFormattedAsAnOutputStreamFormatsThem)
{
    int value = 0;
    expectStreamBytes("a", std::string("b\0c", 3), 'd', -7, INT64_MIN, UINT64_MAX, size_t{42});
    expectStreamBytes(static_cast<const void*>(nullptr), static_cast<const void*>(&value), &value);
    expectStreamBytes(short{-3}, static_cast<unsigned char>('u'), true, 2.5, std::string(700, 'l'));
    // A null C string fails a stream: nothing more is written, not even the line end.
    expectStreamBytes("before ", static_cast<const char*>(nullptr), " after", 1);
}

// The text of line `i` of thread `t`; every seventh outgrows the writer's own buffer.
std::string threadLineText(int t, int i)
{
    return std::string(i % 7 == 0 ? 900 : 40 + i % 50, static_cast<char>('a' + t));
}

TEST(DebugTest, LinesOfManyThreadsArriveWholeAndInOrder)
{
    constexpr int kThreads = 8;
    constexpr int kLines = 300;
    testing::internal::CaptureStderr();
    std::atomic<int> waiting{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
    {
        threads.emplace_back(
            [t, &waiting]()
            {
                // All start at once, so that their lines meet.
                waiting.fetch_sub(1);
                while (waiting.load() > 0)
                    std::this_thread::yield();
                for (int i = 0; i < kLines; ++i)
                    NX_KIT_PRINT("[t" + std::to_string(t) + "] ")
                        << i << " " << threadLineText(t, i);
            });
    }
    for (auto& thread : threads)
        thread.join();
    std::istringstream output(testing::internal::GetCapturedStderr());

    std::vector<int> next(kThreads, 0);
    std::string line;
    int lineCount = 0;
    while (std::getline(output, line))
    {
        ++lineCount;
        int t = -1;
        int i = -1;
        ASSERT_EQ(2, std::sscanf(line.c_str(), "[t%d] %d ", &t, &i)) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        ASSERT_EQ(next[t]++, i) << line;
        ASSERT_EQ("[t" + std::to_string(t) + "] " + std::to_string(i) + " " + threadLineText(t, i),
                  line);
    }
    EXPECT_EQ(kThreads * kLines, lineCount);
}

}  // namespace
}  // namespace nx::kit::debug
