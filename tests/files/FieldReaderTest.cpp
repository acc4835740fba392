#include "sysaccess/files/FieldReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/CountingInput.h"
#include "sysaccess/RuntimeError.h"

using sysaccess::files::FieldReader;
using Fields = std::vector<std::string>;

namespace {

Fields readAll(const std::string& bytes) {
    FieldReader reader(bytes);
    Fields fields;
    while (!reader.atEnd()) fields.push_back(reader.next());
    try {
        reader.next();
        ADD_FAILURE() << "read past the end";
    } catch (const sysaccess::RuntimeError& e) {
        EXPECT_EQ(e.number(), sysaccess::err::InputPastEnd);
    }
    return fields;
}

}  // namespace

TEST(FieldReader, FieldSyntax) {
    EXPECT_EQ(readAll("a,b\r\nc\rd\ne"), (Fields{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(readAll("  007 ,\t0.0\t\r\n c d \r\n"), (Fields{"007", "0.0", "c d"}));
    EXPECT_EQ(readAll("\"1,2\r\n3\",x"), (Fields{"1,2\r\n3", "x"}));
    EXPECT_EQ(readAll("  \" x \"junk,y\r\n\"z\"more\r\nw"), (Fields{" x ", "y", "z", "w"}));
    EXPECT_EQ(readAll("ab\"c,\"open,\r\n"), (Fields{"ab\"c", "open,\r\n"}));
    EXPECT_EQ(readAll("a,,b\r\n\r\n   \r\n\"\""), (Fields{"a", "", "b", "", "", ""}));
    EXPECT_EQ(readAll("a,\r\nb,"), (Fields{"a", "", "b", ""}));
    EXPECT_EQ(readAll("a\r\n \t"), (Fields{"a"}));
    EXPECT_EQ(readAll(""), (Fields{}));
    // Double-byte text whose trail bytes are '\', '@' and '|' stays untouched.
    EXPECT_EQ(readAll("\xA5\x5C\xAA\x40,\"\xB3\x7C,\"\r\n"), (Fields{"\xA5\x5C\xAA\x40", "\xB3\x7C,"}));
}

TEST(FieldReader, ContactItemsOnOneLineOrFiveAndSetupInformationLines) {
    const Fields items{"Example Co., Ltd.", "1 Road, Town", "555-0100", "555-0101", "a@example.com"};
    EXPECT_EQ(readAll("\"Example Co., Ltd.\",\"1 Road, Town\",555-0100,555-0101,a@example.com\r\n"), items);
    EXPECT_EQ(readAll("\"Example Co., Ltd.\"\r\n\"1 Road, Town\"\r\n555-0100\r\n555-0101\r\na@example.com\r\n"),
              items);
    EXPECT_EQ(readAll("%Adapter%=Install, USB\\VID_0E4B&PID_0230\r\n"),
              (Fields{"%Adapter%=Install", "USB\\VID_0E4B&PID_0230"}));
}

TEST(FieldReader, ScriptOneFieldShortRunsOutOnItsLastRead) {
    std::string script;
    for (int i = 1; i <= 144; ++i) {
        if (i % 3) script += 'f' + std::to_string(i);
        script += "\r\n";
    }
    const Fields fields = readAll(script);
    ASSERT_EQ(fields.size(), 144u);
    EXPECT_EQ(fields[0], "f1");
    EXPECT_EQ(fields[2], "");
    EXPECT_EQ(fields[142], "f143");
}

TEST(FieldReader, ReadsOnlyAsFarAsTheFieldsAskedFor) {
    const std::uint64_t twoGigabytes = 2ull << 30;
    auto file = std::make_unique<fixtures::CountingInput>("a,\"b\",c\r\nd\r\n", twoGigabytes);
    fixtures::CountingInput& counted = *file;
    FieldReader reader(std::move(file));
    EXPECT_EQ(reader.next(), "a");
    EXPECT_EQ(reader.next(), "b");
    EXPECT_EQ(reader.next(), "c");
    EXPECT_EQ(reader.next(), "d");
    EXPECT_LE(counted.bytesRead, 1u << 20);
}

TEST(FieldReader, LineEndsAndQuotesAcrossThePiecesOfALargeFile) {
    // Each delimiter in turn falls on the border between two pieces read.
    for (std::size_t pad = 65530; pad <= 65540; ++pad) {
        const std::string text = std::string(pad, 'x') + "\r\n\"q,\r\n\" tail\t,y \r\n";
        EXPECT_EQ(readAll(text), (Fields{std::string(pad, 'x'), "q,\r\n", "y"})) << pad;
    }
}

TEST(FieldReader, AFieldRunningIntoAHugeTailIsOutOfMemoryNotHeld) {
    using sysaccess::files::kMaxFieldLength;
    auto readsAs = [](const std::string& content, std::uint64_t size, int fields) {
        FieldReader reader(std::make_unique<fixtures::CountingInput>(content, size));
        try {
            for (int i = 0; i < fields; ++i) reader.next();
        } catch (const sysaccess::RuntimeError& e) {
            return e.number();
        }
        return 0;
    };
    const std::uint64_t twoGigabytes = 2ull << 30;
    // The last field has no line end: it runs on into the zeros.
    EXPECT_EQ(readsAs("a,b,c,d,e", twoGigabytes, 5), sysaccess::err::OutOfMemory);
    EXPECT_EQ(readsAs("a,\"open", twoGigabytes, 2), sysaccess::err::OutOfMemory);
    // Up to the limit a field is read; trailing blanks do not count.
    EXPECT_EQ(readsAs(std::string(kMaxFieldLength, 'x') + std::string(kMaxFieldLength, ' ') + "\r\n", 0, 1), 0);
    EXPECT_EQ(readsAs(std::string(kMaxFieldLength + 1, 'x'), 0, 1), sysaccess::err::OutOfMemory);
    EXPECT_EQ(readAll(std::string(kMaxFieldLength, 'x')).front().size(), kMaxFieldLength);
}
