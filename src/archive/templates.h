// Dialog templates of the setup archive: each dialog is made from a private copy of its
// template in a global memory block, so that it starts aligned whatever its offset.
#pragma once

#include <cstdint>

#include "resources/dialog_ids.h"  // the template numbers

// A locked copy of template n (at most TEMPLATE_COPY_SIZE bytes of the template block from
// the template's offset on), or null when the archive holds no such template: no template
// block, a block shorter than its offset table, an offset inside the table or at or beyond
// the block's end, or a template that does not end within the copy. Null also when memory
// runs out. Release it with FreeTemplateCopy once the dialog is gone.
void* GetTemplateCopy(uint32_t n);

// Unlocks and frees a copy made by GetTemplateCopy; null is ignored.
void FreeTemplateCopy(void* copy);

// The byte length of the dialog template (classic or extended) at the start of bytes, or 0
// when it does not end within the first available bytes.
uint32_t DialogTemplateLength(const uint8_t* bytes, uint32_t available);
