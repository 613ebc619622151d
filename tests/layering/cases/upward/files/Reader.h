#pragma once
#include "world/WorldStore.h"
