#pragma once

#include "transferstate.h"

// State shared by the window's handlers for the whole run.
namespace Module1 {
extern TransferState transferState;
}
