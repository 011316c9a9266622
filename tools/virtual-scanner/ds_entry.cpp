// The data source's one export: the manager sends every triplet for the
// source here.
#include "virtual_source.h"

extern "C" __declspec(dllexport) twain::TW_UINT16 WINAPI DS_Entry(twain::TW_IDENTITY* origin, twain::TW_UINT32 dg,
                                                                  twain::TW_UINT16 dat, twain::TW_UINT16 msg,
                                                                  twain::TW_MEMREF data) {
  try {
    return virtual_scanner::TheSource().Entry(origin, dg, dat, msg, data);
  } catch (...) {
    // Nothing may escape into the manager; an internal failure is a failed triplet.
    return twain::TWRC_FAILURE;
  }
}
