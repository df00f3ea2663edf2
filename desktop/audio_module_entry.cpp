// The entry point of the mokopera-audio module: the Qt Multimedia sound output.

#include <QtGlobal>

#include "desktop/qt_media_device.h"

extern "C" Q_DECL_EXPORT mokopera::MediaDevice* MokoperaCreateAudioOutput()
{
    return new mokopera::QtMediaDevice;
}
