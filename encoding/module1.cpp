// SPDX-License-Identifier: GPL-3.0-or-later
#include "module1.h"

namespace Module1 {
TransferState transferState;
}
