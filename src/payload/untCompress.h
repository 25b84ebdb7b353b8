#pragma once
// The data module of the ZIP component: one TKAZip, `KAZip`, with the settings
// the wizard reads archives with. Created with the program; the installer uses
// it for update items held in a ZIP archive (ExtractItemFromZip).

#include "payload/KAZip.h"

class TdmCompress {
public:
    TdmCompress();

    TKAZip KAZip;
};

extern TdmCompress dmCompress;
