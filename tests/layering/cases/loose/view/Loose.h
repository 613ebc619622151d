#pragma once
#include "text/Text.h"
