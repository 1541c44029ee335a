// Entry points of libvandu_sound.so: the player's output through Qt Multimedia.

#include "agent/audio/AudioModuleEntry.h"
#include "agent/audio/AudioSinkOutput.h"

extern "C" __attribute__((visibility("default"))) int vandu_audio_interface()
{
    return vandu::audio::kModuleInterface;
}

extern "C" __attribute__((visibility("default"))) ISoundOutput* vandu_sound_create_output()
{
    return new CAudioSinkOutput();
}
