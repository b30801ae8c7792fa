#pragma once

#include "platform/system/Resources.h"

// The game's resources: dialog templates 129 and 100, string 101, icon 128 and the chick's
// bitmaps 132 to 135, all compiled into the program.
const sys::ResourceTable& TolvaneResources();
// Makes them the resources that sys::LoadString, FindDialog and LoadBitmap look up.
void InstallTolvaneResources();
