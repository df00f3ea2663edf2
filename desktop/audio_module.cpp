#include "desktop/audio_module.h"

namespace mokopera {

namespace {
// What the module exports: a new sound output, owned by the caller, that opens cues by path.
using CreateOutput = MediaDevice* (*)();
}  // namespace

AudioModule::AudioModule(const std::string& modulePath, CueFileLocator cueFiles)
    : library_(QString::fromStdString(modulePath)), cueFiles_(std::move(cueFiles))
{
}

// The device goes first; the module stays loaded for the rest of the program.
AudioModule::~AudioModule() = default;

bool AudioModule::Load()
{
    if (!tried_) {
        tried_ = true;
        if (const auto create = reinterpret_cast<CreateOutput>(library_.resolve("MokoperaCreateAudioOutput")))
            device_.reset(create());
    }
    return device_ != nullptr;
}

bool AudioModule::Open(const std::string& name)
{
    const auto path = cueFiles_.Find(name);
    return path && Load() && device_->Open(*path);
}

void AudioModule::Play()
{
    if (device_)
        device_->Play();
}

void AudioModule::Stop()
{
    if (device_)
        device_->Stop();
}

void AudioModule::Close()
{
    if (device_)
        device_->Close();
}

}  // namespace mokopera
