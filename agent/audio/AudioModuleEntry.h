#pragma once

// The entry points of the agent's two audio modules, loaded on first use so that the agent starts
// without the sound stack: the codec module (libsndfile only) answers the GSM 6.10 check, the sound
// module (Qt Multimedia, libsndfile) plays. Both report the interface version they were built
// with, and a module of another version is not used.

class ISoundOutput;

namespace vandu::audio {

// Raised whenever ISoundOutput or an entry point below changes.
inline constexpr int kModuleInterface = 1;

inline constexpr const char* kCodecModule = "vandu_codec";
inline constexpr const char* kSoundModule = "vandu_sound";

inline constexpr const char* kInterfaceEntry = "vandu_audio_interface";
inline constexpr const char* kHasFormatEntry = "vandu_codec_has_format";
inline constexpr const char* kCreateOutputEntry = "vandu_sound_create_output";

using InterfaceFunction = int (*)();
// 1 when WAV files with the wave format tag can be decoded, else 0.
using HasFormatFunction = int (*)(int tag);
// A new output owned by the caller; created and used on the user-interface thread only.
using CreateOutputFunction = ISoundOutput* (*)();

} // namespace vandu::audio
