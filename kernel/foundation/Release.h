// Releasing what an object owns: each pointer is set to null after its
// object is gone, so nothing can reach a released object through it.
#pragma once

namespace qv {

template <class T>
void Release(T*& p) {
  delete p;
  p = nullptr;
}

template <class T>
void ReleaseArray(T*& p) {
  delete[] p;
  p = nullptr;
}

}  // namespace qv
