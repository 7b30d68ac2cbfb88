// Numbered table: a growable array of fixed-size slots addressed by number. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

// Where a table takes its memory from (the program's main heap on Windows, malloc in host tests).
struct TableAllocator {
  void* (*allocate)(void* context, size_t bytes);  // zero-filled block or null
  void (*release)(void* context, void* block);
  void* context;
};

struct NumberedTable;
// Releases whatever slot `number` holds; called before a slot is refilled and when the table is
// emptied.
using TableFreeRoutine = void (*)(NumberedTable* table, int32_t number);

struct NumberedTable {
  int32_t elementSize;
  int32_t step;
  int32_t capacity;
  TableFreeRoutine freeRoutine;
  unsigned char* elements;
  TableAllocator allocator;
};

// Makes a table with `step` zeroed slots; null when memory runs out or the sizes are not positive.
NumberedTable* CreateTable(const TableAllocator& allocator, int32_t elementSize, int32_t step,
                           TableFreeRoutine freeRoutine);
void DestroyTable(NumberedTable* table);

// The slot to fill with `number`: grows the table when needed and frees the old content first.
// Null for a negative number, a null table or when growing fails.
void* TakeTableSlot(NumberedTable* table, int32_t number);

// The slot of `number`, or null when it is out of range or its first word (the leading
// pointer-sized bytes: a handle or pointer in the layer's tables) is zero.
void* LookupTableSlot(const NumberedTable* table, int32_t number);

// The slot of `number` whatever it holds, or null when out of range.
void* TableSlot(const NumberedTable* table, int32_t number);

// Runs the free routine on every slot that holds something.
void FreeTableSlots(NumberedTable* table);

// malloc-based allocator, for tables outside a Windows heap.
TableAllocator StandardAllocator();
