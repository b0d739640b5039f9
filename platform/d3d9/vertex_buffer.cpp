#include "vertex_buffer.h"

#include <memory>
#include <new>

namespace d3d9 {

VertexBuffer* VertexBuffer::Create(const D3DVERTEXBUFFER_DESC& desc, const void* owner) {
  try {
    std::unique_ptr<VertexBuffer> buffer(new VertexBuffer(desc, owner));
    buffer->bytes_.resize(desc.Size);
    return buffer.release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD) {
  if (data == nullptr) return D3DERR_INVALIDCALL;
  *data = nullptr;
  const std::size_t end = size == 0 ? bytes_.size() : std::size_t{offset} + size;
  if (locked_ || offset >= bytes_.size() || end > bytes_.size()) return D3DERR_INVALIDCALL;
  locked_ = true;
  *data = bytes_.data() + offset;
  return D3D_OK;
}

HRESULT VertexBuffer::Unlock() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  return D3D_OK;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
  if (desc == nullptr) return D3DERR_INVALIDCALL;
  *desc = desc_;
  return D3D_OK;
}

}  // namespace d3d9
