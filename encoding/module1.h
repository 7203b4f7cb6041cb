// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transferstate.h"

// State shared by the window's handlers for the whole run.
namespace Module1 {
extern TransferState transferState;
}
