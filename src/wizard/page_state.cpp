// The definitions of the page loop's shared state.
#include "wizard/page_state.h"

int PageIndex = 0;
int PageResult = 0;
