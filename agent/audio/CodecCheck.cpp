#include "agent/audio/CodecCheck.h"

#include "agent/audio/AudioModule.h"
#include "agent/audio/AudioModuleEntry.h"

int CCodecCheck::HasFormat(int tag) const
{
    CAudioModule module(vandu::audio::kCodecModule);
    if (!module.Load()) {
        return 0;
    }
    const auto hasFormat
        = reinterpret_cast<vandu::audio::HasFormatFunction>(module.Resolve(vandu::audio::kHasFormatEntry));
    const int result = hasFormat != nullptr ? hasFormat(tag) : 0;
    module.Unload();
    return result;
}
