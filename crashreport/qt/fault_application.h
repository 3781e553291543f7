#pragma once

// The application object is part of the public interface for Qt programs.
#include "faulttrap/faulttrap_qt.h"
