#include "pack_choice.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace vuni::pack {
namespace {

// A fake codec: the "stream" is "JC" + a tag + the plain text cut to a given size; it
// decodes to whatever the test says.
EncodeFunction Encoder(std::string stream) {
    return [stream](const uint8_t*, size_t, int) { return stream; };
}

DecodeFunction Decoder(std::string result, size_t reported) {
    return [result, reported](const uint8_t*, size_t, uint8_t* dst, size_t plainSize) {
        std::memcpy(dst, result.data(), std::min(result.size(), plainSize));
        return reported;
    };
}

const std::string kData = std::string(64, 'a');

TEST(PackChoice, PackedOnlyWhenSmallerSoundAndDecodingBack) {
    StoredForm f = ChooseStoredForm(kData, false, 6, Encoder("JC12"), Decoder(kData, 64));
    EXPECT_TRUE(f.packed);
    EXPECT_EQ(f.bytes, "JC12");
    EXPECT_TRUE(f.warning.empty());

    // Store forced, empty data, an empty or a not smaller stream: stored, silently.
    for (const StoredForm& s :
         {ChooseStoredForm(kData, true, 6, Encoder("JC12"), Decoder(kData, 64)),
          ChooseStoredForm("", false, 6, Encoder("JC12"), Decoder("", 0)),
          ChooseStoredForm(kData, false, 6, Encoder(""), Decoder(kData, 64)),
          ChooseStoredForm(kData, false, 6, Encoder("JC" + std::string(62, 'x')),
                           Decoder(kData, 64))}) {
        EXPECT_FALSE(s.packed);
        EXPECT_TRUE(s.warning.empty());
    }
    EXPECT_EQ(ChooseStoredForm(kData, true, 6, Encoder("JC12"), Decoder(kData, 64)).bytes, kData);
}

TEST(PackChoice, AFaultyStreamIsStoredWithAWarning) {
    const StoredForm wrongBytes =
        ChooseStoredForm(kData, false, 6, Encoder("JC12"), Decoder(std::string(64, 'b'), 64));
    const StoredForm wrongCount =
        ChooseStoredForm(kData, false, 6, Encoder("JC12"), Decoder(kData, 0));
    const StoredForm noSignature =
        ChooseStoredForm(kData, false, 6, Encoder("XY12"), Decoder(kData, 64));
    for (const StoredForm& s : {wrongBytes, wrongCount, noSignature}) {
        EXPECT_FALSE(s.packed);
        EXPECT_EQ(s.bytes, kData);
        EXPECT_FALSE(s.warning.empty());
    }
}

} // namespace
} // namespace vuni::pack
