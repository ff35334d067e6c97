/* The layout of the shipped i686 programs: three sections, so that the headers (DOS header
   and stub, PE headers, three 40-byte section entries) fit in the file's first 512 bytes,
   and fewer sections are padded to the 512-byte file alignment.
     .text   the code and its constants (read-only, as constants are anyway)
     .idata  the import tables first, where the import directory points (the linker takes
             the directory from the section of that name), then the data
     .rsrc   the resources, where the resource directory points
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
  .idata BLOCK(__section_alignment__) :
  {
    /* The import descriptors, ended by an empty one, then the address table and the names
       (the linker sorts each part's pieces by DLL). */
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    __IAT_start__ = .;
    KEEP (SORT(*)(.idata$5))
    __IAT_end__ = .;
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(EXCLUDE_FILE (*:*s[0-9][0-9][0-9][0-9][0-9].o) *)(.idata$7))
    *(.data) *(SORT(.data$*)) *(.data.*)
    *(.bss) *(SORT(.bss$*)) *(.bss.*) *(COMMON)
  }
  .rsrc BLOCK(__section_alignment__) :
  {
    *(.rsrc) *(SORT(.rsrc$*))
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
