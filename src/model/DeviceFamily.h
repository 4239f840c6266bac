#pragma once

/** The two amplifier families the program serves.  An "/info" answer's model index 0..3 is
    a ZR model and 4..7 a TARVO model; on USB the family is told by the device itself
    (product ID and identity string, see UsbConnection).  `none`: no device known. */
enum class DeviceFamily
{
    none,
    zr,
    tarvo
};
