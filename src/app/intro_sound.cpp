#include "app/intro_sound.h"

#include "app/installer_state.h"
#include "platform/host.h"

namespace vuni {
namespace {

constexpr size_t kByteRateOffset = 28;
constexpr uint32_t kShortestWaitMs = 500;

uint32_t ReadLittleEndian32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

} // namespace

uint32_t IntroSoundWaitMs(const uint8_t* wav, size_t plainSize) {
    uint64_t wait = 0;
    if (wav != nullptr && plainSize >= kByteRateOffset + 4) {
        // The byte rate is a signed field in the header: a negative one counts as none.
        const auto byteRate = static_cast<int32_t>(ReadLittleEndian32(wav + kByteRateOffset));
        if (byteRate >= 1) {
            wait = static_cast<uint64_t>(plainSize) * 1000 / static_cast<uint64_t>(byteRate);
        }
    }
    if (wait < 1) {
        return kShortestWaitMs;
    }
    // An absurdly slow rate would block start-up for hours; a minute is more than any intro.
    constexpr uint64_t kLongestWaitMs = 60000;
    return static_cast<uint32_t>(wait < kLongestWaitMs ? wait : kLongestWaitMs);
}

void PlayIntroSound(InstallerState& state, Host& host, Log& log) {
    PackageState& package = state.package;
    int found = -1;
    for (size_t i = 0; i < package.entries.size(); ++i) {
        if (package.entries[i].groupIndex == kIntroSoundGroup) {
            found = static_cast<int>(i);
            break;
        }
    }
    if (found < 0) {
        return;
    }
    if (!state.soundReady) {
        if (!host.InitSound()) {
            return;
        }
        state.soundReady = true;
    }
    const auto wav = ExtractEntryContent(package, host, log, found);
    if (!wav || !host.PlayWav(wav->data(), wav->size())) {
        return;
    }
    host.Sleep(IntroSoundWaitMs(wav->data(), wav->size()));
}

} // namespace vuni
