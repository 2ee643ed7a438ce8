// Reading catalogue files into the reused buffer, and what the parser is
// handed.
#include "catalogue/catalogue_file.h"

#include <gtest/gtest.h>

#include <string>

#include "catalogue/xml_buffer.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using testing_support::TempDir;

TEST(XmlBuffer, EndsAtNulAndNormalisesLineEndsAsLoadFileDoes) {
    XmlBuffer buffer;
    const std::string bytes("a\r\nb\rc\nd\0e", 10);
    buffer.Assign(bytes.data(), bytes.size());
    EXPECT_STREQ(buffer.Text(), "a\nb\nc\nd");
    EXPECT_EQ(buffer.Size(), 7u);
    EXPECT_EQ(buffer.InputSize(), 10u);
    // Past the terminator, more NULs: a UTF-8 lead byte at the end cannot
    // take the parser past the buffer.
    for (size_t i = 0; i < kXmlPadding; ++i)
        EXPECT_EQ(buffer.Text()[buffer.Size() + i], 0);
}

TEST(XmlBuffer, IsReusedForSmallerFiles) {
    XmlBuffer buffer;
    buffer.Assign("<long>text</long>", 17);
    const char* first = buffer.Text();
    buffer.Assign("<a/>", 4);
    EXPECT_EQ(buffer.Text(), first);
    EXPECT_STREQ(buffer.Text(), "<a/>");
}

class ReadCatalogueFileTest : public ::testing::Test {
  protected:
    FileReadStatus Read(const std::string& name, size_t limit = kMaxCatalogueFileBytes) {
        return ReadCatalogueFile((dir_.Path() / name).string().c_str(), limit, buffer_);
    }

    TempDir dir_;
    XmlBuffer buffer_;
};

TEST_F(ReadCatalogueFileTest, GivesEachStatus) {
    dir_.Write("ok.xml", "<?xml version=\"1.0\"?>\r\n<root/>");
    dir_.Write("empty.xml", "");
    dir_.Write("folder/inside.xml", "<a/>");
    EXPECT_EQ(Read("ok.xml"), FileReadStatus::Read);
    EXPECT_STREQ(buffer_.Text(), "<?xml version=\"1.0\"?>\n<root/>");
    EXPECT_EQ(Read("ok.xml", 10), FileReadStatus::TooLarge);
    EXPECT_STREQ(buffer_.Text(), "");
    EXPECT_EQ(Read("empty.xml"), FileReadStatus::Read);
    EXPECT_STREQ(buffer_.Text(), "");
    EXPECT_EQ(Read("missing.xml"), FileReadStatus::Missing);
    EXPECT_EQ(Read("missing/inside.xml"), FileReadStatus::Missing);
    EXPECT_EQ(Read("folder"), FileReadStatus::NotRegularFile);
}

#ifndef _WIN32
// A FIFO would block a plain open until some writer came: it is refused at
// once.
TEST_F(ReadCatalogueFileTest, RefusesAFifoWithoutWaiting) {
    ASSERT_EQ(mkfifo((dir_.Path() / "fifo").string().c_str(), 0600), 0);
    EXPECT_EQ(Read("fifo"), FileReadStatus::NotRegularFile);
    EXPECT_EQ(ReadCatalogueFile("/dev/zero", kMaxCatalogueFileBytes, buffer_),
              FileReadStatus::NotRegularFile);
}
#else
TEST_F(ReadCatalogueFileTest, RefusesADeviceName) {
    EXPECT_NE(Read("CON"), FileReadStatus::Read);
    EXPECT_NE(ReadCatalogueFile("NUL", kMaxCatalogueFileBytes, buffer_), FileReadStatus::Read);
}
#endif

}  // namespace
