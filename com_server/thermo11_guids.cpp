// The GUIDs of the CAPE-OPEN 1.1 library. ICapeIdentification, which both
// libraries declare, is defined once, by the 0.9 library's Korvid_i.c: its
// header comes first here, without INITGUID, so its declarations are taken.
#include "Korvid_h.h"

#include <initguid.h>

#include "KorvidThermo11_h.h"
