#include "ColorButton.h"
