/* The layout of the shipped i686 programs: two sections, so that the headers (DOS header
   and stub, PE headers, two 40-byte section entries) fit in the file's first 512 bytes,
   and fewer sections are padded to the 512-byte file alignment.
     .text   the code and its constants (read-only, as constants are anyway)
     .rsrc   the resources first, where the resource directory points (the linker points
             it at the start of the section of that name), then the import tables and the
             data: one section's padding where two would take 512 bytes more
   The programs have no relocations, exceptions, constructors or thread-local data. */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + __section_alignment__ :
  {
    *(.text) *(SORT(.text$*)) *(.text.*)
    *(.rdata) *(SORT(.rdata$*)) *(.rodata) *(.rodata.*)
  }
  .rsrc BLOCK(__section_alignment__) :
  {
    *(.rsrc) *(SORT(.rsrc$*))
    . = ALIGN(4);
    /* The import descriptors, ended by an empty one, then the address table and the names
       (the linker sorts each part's pieces by DLL). Outside a section named .idata the
       linker takes the import directory from the symbols ".idata$2" (the descriptors, up
       to ".idata$4") and the address table's from ".idata$5" to ".idata$6", as addresses
       relative to the image. */
    ".idata$2" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    ".idata$4" = ABSOLUTE(. - __image_base__);
    ".idata$5" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$5))
    ".idata$6" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(EXCLUDE_FILE (*:*s[0-9][0-9][0-9][0-9][0-9].o) *)(.idata$7))
    *(.data) *(SORT(.data$*)) *(.data.*)
    *(.bss) *(SORT(.bss$*)) *(.bss.*) *(COMMON)
  }
  /DISCARD/ :
  {
    /* What is left of .idata$7 is a word per imported function that only ties it to its
       DLL's descriptor when the linker picks archive members; the loader never reads it. */
    *(.idata$7)
    /* The lookup tables repeat the address table as the file holds it. With a descriptor's
       lookup table at 0 (the linker writes 0 for a discarded one) every Windows loader reads
       the names from the address table instead: 4 bytes per imported function. */
    *(.idata$4)
    *(.drectve) *(.note.GNU-stack) *(.gnu.lto_*) *(.debug*) *(.eh_frame*)
  }
}
