#include "project/AtomicFile.h"
