// The host-habits checks, one theme per file beside this one.
#pragma once

#include "tools/validate/CheckContext.h"
#include "tools/validate/ValidationGroup.h"

void flagsAgreeWithCategory(CheckContext& context);
void settingIsIdempotent(CheckContext& context);
void restoredThroughParameters(CheckContext& context);
void echoChangesNothing(CheckContext& context);
void scanFifty(CheckContext& context);
void scanFiveHundred(CheckContext& context);
