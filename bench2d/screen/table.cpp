#include "table.h"

#include <cstdlib>
#include <cstring>

namespace {

void* StandardAllocate(void*, size_t bytes) { return std::calloc(1, bytes); }
void StandardRelease(void*, void* block) { std::free(block); }

// A slot counts as empty when its first word (up to pointer size) is zero.
bool SlotIsEmpty(const NumberedTable* table, const unsigned char* slot) {
  size_t word = sizeof(uintptr_t);
  if (static_cast<size_t>(table->elementSize) < word)
    word = static_cast<size_t>(table->elementSize);
  for (size_t i = 0; i < word; ++i) {
    if (slot[i] != 0) return false;
  }
  return true;
}

bool Grow(NumberedTable* table, int32_t number) {
  int64_t wanted = static_cast<int64_t>(number) + table->step;
  if (wanted > INT32_MAX / table->elementSize) return false;
  size_t oldBytes = static_cast<size_t>(table->capacity) * table->elementSize;
  size_t newBytes = static_cast<size_t>(wanted) * table->elementSize;
  void* grown = table->allocator.allocate(table->allocator.context, newBytes);
  if (!grown) return false;
  std::memcpy(grown, table->elements, oldBytes);
  table->allocator.release(table->allocator.context, table->elements);
  table->elements = static_cast<unsigned char*>(grown);
  table->capacity = static_cast<int32_t>(wanted);
  return true;
}

}  // namespace

TableAllocator StandardAllocator() {
  return TableAllocator{StandardAllocate, StandardRelease, nullptr};
}

NumberedTable* CreateTable(const TableAllocator& allocator, int32_t elementSize, int32_t step,
                           TableFreeRoutine freeRoutine) {
  if (elementSize <= 0 || step <= 0 || step > INT32_MAX / elementSize) return nullptr;
  auto* table =
      static_cast<NumberedTable*>(allocator.allocate(allocator.context, sizeof(NumberedTable)));
  if (!table) return nullptr;
  table->elements = static_cast<unsigned char*>(
      allocator.allocate(allocator.context, static_cast<size_t>(elementSize) * step));
  if (!table->elements) {
    allocator.release(allocator.context, table);
    return nullptr;
  }
  table->elementSize = elementSize;
  table->step = step;
  table->capacity = step;
  table->freeRoutine = freeRoutine;
  table->allocator = allocator;
  return table;
}

void DestroyTable(NumberedTable* table) {
  if (!table) return;
  TableAllocator allocator = table->allocator;
  allocator.release(allocator.context, table->elements);
  allocator.release(allocator.context, table);
}

void* TableSlot(const NumberedTable* table, int32_t number) {
  if (!table || number < 0 || number >= table->capacity) return nullptr;
  return table->elements + static_cast<size_t>(number) * table->elementSize;
}

void* TakeTableSlot(NumberedTable* table, int32_t number) {
  if (!table || number < 0) return nullptr;
  if (number >= table->capacity && !Grow(table, number)) return nullptr;
  if (table->freeRoutine) table->freeRoutine(table, number);
  return TableSlot(table, number);
}

void* LookupTableSlot(const NumberedTable* table, int32_t number) {
  auto* slot = static_cast<unsigned char*>(TableSlot(table, number));
  if (!slot || SlotIsEmpty(table, slot)) return nullptr;
  return slot;
}

void FreeTableSlots(NumberedTable* table) {
  if (!table || !table->freeRoutine) return;
  for (int32_t n = 0; n < table->capacity; ++n) {
    if (LookupTableSlot(table, n)) table->freeRoutine(table, n);
  }
}
