// Entry points of libvandu_codec.so: the GSM 6.10 check alone, without Qt Multimedia.

#include "agent/audio/AudioModuleEntry.h"
#include "agent/audio/WaveCodecs.h"

extern "C" __attribute__((visibility("default"))) int vandu_audio_interface()
{
    return vandu::audio::kModuleInterface;
}

extern "C" __attribute__((visibility("default"))) int vandu_codec_has_format(int tag)
{
    return CWaveCodecs::HasFormat(tag);
}
