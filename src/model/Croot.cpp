#include "Croot.h"

Croot::Croot()
    : Cnode ("/", NodeKind::root, 0)
{
    channelFolder = new Cnode ("channel", NodeKind::channel, 0);
    for (int c = 0; c < channelCount; ++c)
        channels[c] = channelFolder->append (new Cchannel (c + 1));

    ampmode = append (new Cioampmode());
    append (channelFolder);
}
