#include "module1.h"

namespace Module1 {
TransferState transferState;
}
