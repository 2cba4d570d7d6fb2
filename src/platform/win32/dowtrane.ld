/* Added to the linker's own script. */

/* The DWARF unwind tables that libgcc's helpers bring along (__udivdi3 on
   i686) are only read by a C runtime's start-up code and by exception
   handling, and the program has neither: dropped, they save a section. */
SECTIONS
{
  /DISCARD/ : { *(.eh_frame) }
}
INSERT BEFORE .text;

/* Nothing runs global constructors before DowtraneEntry: a program that has
   one must not link. Without any, the list holds only its two end markers.
   (dowtrane_pointer_size comes from the command line.) */
ASSERT(___DTOR_LIST__ - ___CTOR_LIST__ == 2 * dowtrane_pointer_size,
       "a global constructor would never run: there is no C runtime to run it")
