#include <gtest/gtest.h>

#include <QByteArray>
#include <string>

#include "data/Encrypt.h"
#include "foundation/TimeBase.h"

namespace kvq {
namespace {

// Pins the clock so that stamps are known; restores it afterwards.
class EncryptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClockSource([] { return EncodeTimeTag(2024, 3, 5, 14, 7, 9); });
  }
  void TearDown() override { SetClockSource({}); }

  // The 30 plain bytes behind a stored 40-character value.
  static std::string Plain(const std::string& stored) {
    const QByteArray bytes = QByteArray::fromBase64(QByteArray::fromStdString(stored));
    return TEncrypt().Unscramble(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  }
};

TEST_F(EncryptTest, CipherFollowsTheStateRecurrence) {
  // First byte: p XOR (key >> 8) = 'A' ^ (47305 >> 8 = 0xB8).
  const TEncrypt cipher;
  const std::string c = cipher.Scramble("AB");
  ASSERT_EQ(c.size(), 2u);
  const unsigned c0 = static_cast<unsigned char>(c[0]);
  EXPECT_EQ(c0, static_cast<unsigned>('A' ^ 0xB8));
  const unsigned k1 = ((c0 + 47305u) * 60811u + 29461u) % 65536u;
  EXPECT_EQ(static_cast<unsigned char>(c[1]), static_cast<unsigned>('B' ^ ((k1 >> 8) & 0xFF)));
  // Any bytes come back, zeros and high bytes included.
  const std::string all(std::string("\0\x01\xff\x80zz", 6));
  EXPECT_EQ(cipher.Unscramble(cipher.Scramble(all)), all);
}

TEST_F(EncryptTest, StoredFormHoldsPasswordColonAndStampIn30Bytes) {
  const std::string stored = ScramblePassword("radizuza");
  ASSERT_EQ(stored.size(), 40u);
  EXPECT_EQ(stored.find('='), std::string::npos);
  const std::string plain = Plain(stored);
  ASSERT_EQ(plain.size(), 30u);
  EXPECT_EQ(plain.substr(0, 28), "radizuza:03/05/2024 14:07:09");
  // A longer password cuts the end of the stamp.
  EXPECT_EQ(Plain(ScramblePassword("abcdefghijklmnopqrst")), "abcdefghijklmnopqrst:03/05/202");
}

TEST_F(EncryptTest, RoundTrips) {
  const std::string cases[] = {
      "",
      "123456789",                       // 9 characters: the plain form
      "abcdefghijk",                     // 11: the stamp is cut, the password is not
      std::string(29, 'x'),              // 29: still whole in 30 bytes
      std::string(30, 'y'),              // 30: would read back empty in 30 bytes
      std::string(200, 'z'),             // far longer
      "pa:ss",                           // a colon would cut it
      ":",                               //
      "ends with colon:",                //
      std::string("nul\0byte", 8),       //
      "blanks  inside and \xc3\xa9t\xc3\xa9",  // UTF-8
  };
  for (const std::string& p : cases) EXPECT_EQ(UnscramblePassword(ScramblePassword(p)), p) << p;
}

TEST_F(EncryptTest, OnlyPasswordsThe30ByteFormLosesUseTheLongForm) {
  EXPECT_EQ(ScramblePassword(std::string(29, 'a')).size(), 40u);
  EXPECT_EQ(ScramblePassword(std::string(30, 'a')).front(), '*');
  EXPECT_EQ(ScramblePassword("a:b").front(), '*');
}

TEST_F(EncryptTest, ValuesOfThe30ByteFormReadAsBefore) {
  const TEncrypt cipher;
  auto store = [&](std::string plain) {
    plain.resize(30, '\0');
    const std::string c = cipher.Scramble(plain);
    return QByteArray(c.data(), static_cast<qsizetype>(c.size())).toBase64().toStdString();
  };
  // Read up to the first colon; the stamp is not looked at.
  EXPECT_EQ(UnscramblePassword(store("secret:01/01/2020 00:00:00")), "secret");
  EXPECT_EQ(UnscramblePassword(store("a:b:01/01/2020 00:00:00")), "a");
  // No colon in the 30 bytes: empty.
  EXPECT_EQ(UnscramblePassword(store(std::string(30, 'q'))), "");
  // Bytes beyond the 30th are ignored.
  std::string longer = cipher.Scramble(std::string("pw:01/01/2020 00:00:00") + std::string(8, '\0') + "tail");
  EXPECT_EQ(UnscramblePassword(QByteArray::fromStdString(longer).toBase64().toStdString()), "pw");
}

TEST_F(EncryptTest, MalformedValuesReadEmpty) {
  const std::string cases[] = {
      "",
      "not base64 at all!",
      "QUJD",                                      // valid Base64 but only 3 bytes
      "*",                                         // long form without content
      "*@@@@",                                     // long form, not Base64
      "*" + QByteArray("garbage").toBase64().toStdString(),
  };
  for (const std::string& s : cases) EXPECT_EQ(UnscramblePassword(s), "") << s;
  // A long form whose length runs past the text.
  const TEncrypt cipher;
  const std::string bad = cipher.Scramble("99:abc:01/01/2020 00:00:00");
  EXPECT_EQ(UnscramblePassword("*" + QByteArray::fromStdString(bad).toBase64().toStdString()), "");
}

}  // namespace
}  // namespace kvq
