// The package's intro sound, played once at start-up before the window is shown.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vuni {

class Host;
class Log;
struct InstallerState;

// The time to wait for a WAV of plainSize bytes to play: plainSize * 1000 / byte rate (the
// 32-bit value at byte 28 of the header); 500 ms when that is below 1 ms or the header is too
// short to hold a byte rate.
uint32_t IntroSoundWaitMs(const uint8_t* wav, size_t plainSize);

// Plays the first entry of group -2 and waits for it; does nothing when there is no such
// entry, no sound output, or the sound cannot be extracted or played.
void PlayIntroSound(InstallerState& state, Host& host, Log& log);

} // namespace vuni
