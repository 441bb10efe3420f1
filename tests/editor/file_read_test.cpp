#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "editor/core/editor_settings.h"
#include "editor/core/file_read.h"
#include "editor/core/lines.h"
#include "editor/core/text_primitives.h"
#include "editor_fixture.h"

namespace {

class FileReadTest : public EditorTest {
protected:
    // Reads path into a fresh buffer shown by the current window.
    int Read(const std::string& path) {
        NewDocument("");
        int result = ReadFile(pbufCurrent, path.c_str());
        Line* first = pbufCurrent->lplnFirst;
        pwinCurrent->lplnTop = first;
        pwinCurrent->dot = pwinCurrent->mark = {first, 0};
        return result;
    }
    int ReadBytesOf(const std::string& bytes) {
        std::string path = PathOf("input.txt");
        WriteBytes(path, bytes);
        return Read(path);
    }
    std::string Text() const { return BufferText(pbufCurrent); }
};

TEST_F(FileReadTest, LineEndsAreDetectedFromTheFirstChunk) {
    ASSERT_TRUE(ReadBytesOf("one\r\ntwo\r\n"));
    EXPECT_EQ(Text(), "one\ntwo");  // a final line end gives no extra line
    EXPECT_EQ(pbufCurrent->lineCount, 2u);
    ASSERT_TRUE(ReadBytesOf("one\ntwo"));
    EXPECT_EQ(Text(), "one\ntwo");         // line feeds alone; no final line end
    ASSERT_TRUE(ReadBytesOf("a\n\nb\n"));  // one line feed ends one line, even an empty one
    EXPECT_EQ(Text(), "a\n\nb");
    EXPECT_EQ(pbufCurrent->lineCount, 3u);
    // With carriage return as line end a lone line feed stays in its line, and the other
    // way round a carriage return before a line feed does.
    ASSERT_TRUE(ReadBytesOf("a\nb\r\nc"));
    EXPECT_EQ(Text(), "a\nb\nc");
    EXPECT_EQ(LineAt(pbufCurrent, 0)->length, 3u);
    ASSERT_TRUE(ReadBytesOf("x\r\n"));
    EXPECT_EQ(pbufCurrent->lineCount, 1u);
    ASSERT_TRUE(ReadBytesOf("bare\rcarriage\r"));
    EXPECT_EQ(Text(), "bare\ncarriage");
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(FileReadTest, TrailingBlanksAreDroppedButKeptAsRoom) {
    editorSettings.removeTrailingSpaces = 1;
    ASSERT_TRUE(ReadBytesOf("abc  \t\r\nnext \r\n"));
    Line* line = pbufCurrent->lplnFirst;
    EXPECT_EQ(line->length, 3u);
    EXPECT_EQ(line->capacity, 8u);
    EXPECT_EQ(Text(), "abc\nnext");
    char* storage = line->text;
    pwinCurrent->dot = {line, 3};
    ASSERT_TRUE(InsertChars("defgh", 5));  // fits the dropped room: no reallocation
    EXPECT_EQ(line->text, storage);
    EXPECT_EQ(Text(), "abcdefgh\nnext");
    editorSettings.removeTrailingSpaces = 0;
    ASSERT_TRUE(ReadBytesOf("abc  \r\n"));
    EXPECT_EQ(Text(), "abc  ");
}

TEST_F(FileReadTest, EmptyFileIsOneEmptyLineAndNeverLocked) {
    editorSettings.fileLocking = 1;
    ASSERT_TRUE(ReadBytesOf(""));
    EXPECT_EQ(pbufCurrent->lineCount, 1u);
    EXPECT_EQ(pbufCurrent->lplnFirst->length, 0u);
    EXPECT_EQ(pbufCurrent->lockHandle, 0);
}

TEST_F(FileReadTest, ShortFilesWithoutLineEndsAreTextUpToTheTestSize) {
    ASSERT_TRUE(ReadBytesOf(std::string(400, 'q')));
    EXPECT_EQ(pbufCurrent->lineCount, 1u);
    EXPECT_EQ(pbufCurrent->lplnFirst->length, 400u);
    EXPECT_FALSE(ReadBytesOf(std::string(600, 'q')));
    EXPECT_TRUE(ui.Showed(PathOf("input.txt") + " is not a text file."));
    EXPECT_EQ(pbufCurrent->lineCount, 1u);  // left as one empty line
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(FileReadTest, BinaryFilesAreRefused) {
    std::string binary(2000, '\0');
    for (std::size_t i = 0; i < binary.size(); i += 7) {
        binary[i] = static_cast<char>(i);
    }
    EXPECT_FALSE(ReadBytesOf(binary));
    EXPECT_TRUE(ui.Showed(PathOf("input.txt") + " is not a text file."));
    // Text first, then a chunk of binary data.
    std::string mixed;
    while (mixed.size() < 40000) {
        mixed += "a line of text\r\n";
    }
    mixed += std::string(40000, '\0');
    EXPECT_FALSE(ReadBytesOf(mixed));
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(FileReadTest, FoldersAndMissingFilesCannotBeOpened) {
    EXPECT_FALSE(Read(Folder()));
    EXPECT_TRUE(ui.Showed("Unable to open " + Folder()));
    EXPECT_FALSE(Read(PathOf("missing")));
    EXPECT_TRUE(ui.Showed("Unable to open " + PathOf("missing")));
    if (geteuid() != 0) {
        WriteBytes(PathOf("secret"), "x\r\n");
        chmod(PathOf("secret").c_str(), 0);
        EXPECT_FALSE(Read(PathOf("secret")));
    }
}

TEST_F(FileReadTest, LargeFilesAreReadInChunksWithStraddlingLinesWhole) {
    std::string bytes;
    std::string expected;
    for (int i = 0; bytes.size() < 200000; ++i) {
        std::string line = "line " + std::to_string(i) + std::string(i % 97, '.');
        bytes += line + "\r\n";
        expected += (i ? "\n" : "") + line;
    }
    ASSERT_TRUE(ReadBytesOf(bytes));
    EXPECT_EQ(Text(), expected);
    DWORD number = 0;
    for (Line* line = pbufCurrent->lplnFirst; line != nullptr; line = line->next) {
        ASSERT_EQ(line->number, number++);
    }
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(FileReadTest, CarriageReturnAndLineFeedSplitByTheChunkEnd) {
    // The first chunk reads 32767 bytes: its last byte is a carriage return whose line feed
    // comes first in the next chunk.
    std::string filler(32763, 'a');
    std::string bytes = "x\r\n" + filler + "\r\nsecond\r\n";
    ASSERT_EQ(bytes[32766], '\r');
    ASSERT_TRUE(ReadBytesOf(bytes));
    EXPECT_EQ(Text(), "x\n" + filler + "\nsecond");
    EXPECT_EQ(pbufCurrent->lineCount, 3u);
}

TEST_F(FileReadTest, LinesLongerThanAChunkAreReadWhole) {
    std::string longLine(40000, 'L');
    ASSERT_TRUE(ReadBytesOf(longLine + "\r\nshort\r\n"));  // in the first chunk
    EXPECT_EQ(Text(), longLine + "\nshort");
    ASSERT_TRUE(ReadBytesOf("short\r\n" + longLine + "\r\n" + longLine));  // in later ones
    EXPECT_EQ(Text(), "short\n" + longLine + "\n" + longLine);
    std::string longest(MAX_LINE_LENGTH, 'M');
    ASSERT_TRUE(ReadBytesOf("a\r\n" + longest + "\r\nb\r\n"));
    EXPECT_EQ(Text(), "a\n" + longest + "\nb");
    ASSERT_TRUE(ReadBytesOf(longest + "\n"));
    EXPECT_EQ(pbufCurrent->lplnFirst->length, MAX_LINE_LENGTH);
    // Without any line end it is no text, however long, as for 600 bytes.
    EXPECT_FALSE(ReadBytesOf(longest));
    EXPECT_TRUE(ui.Showed(PathOf("input.txt") + " is not a text file."));
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(FileReadTest, LinesBeyondTheLimitAreRefusedNotLoopedOver) {
    const std::string message = PathOf("input.txt") + " has a line longer than 65535 characters.";
    std::string tooLong(MAX_LINE_LENGTH + 1, 'T');
    EXPECT_FALSE(ReadBytesOf("a\r\n" + tooLong + "\r\nb\r\n"));
    EXPECT_TRUE(ui.Showed(message));
    ui.Clear();
    EXPECT_FALSE(ReadBytesOf(tooLong + "\r\n"));
    EXPECT_TRUE(ui.Showed(message));
    ui.Clear();
    EXPECT_FALSE(ReadBytesOf(std::string(300000, 'u')));  // no line end at all
    EXPECT_TRUE(ui.Showed(message));
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(FileReadTest, LastLineOfALaterChunkNeedsNoLineEnd) {
    std::string bytes;
    while (bytes.size() < 33000) {
        bytes += "0123456789\r\n";
    }
    std::string tail(2000, 't');
    ASSERT_TRUE(ReadBytesOf(bytes + tail));
    EXPECT_EQ(LastLine(pbufCurrent)->length, 2000u);
}

}  // namespace
