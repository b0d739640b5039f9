#pragma once
// A vertex buffer in system memory.
#include <cstddef>
#include <vector>

#include "com_object.h"
#include "d3d9.h"

namespace d3d9 {

class VertexBuffer final : public ComObject<IDirect3DVertexBuffer9> {
public:
  // A zeroed buffer of `desc.Size` bytes, or null when memory runs out. `owner` identifies the device
  // that created it and is never dereferenced.
  static VertexBuffer* Create(const D3DVERTEXBUFFER_DESC& desc, const void* owner);

  D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

  bool BelongsTo(const void* owner) const { return owner_ == owner; }
  const std::byte* Bytes() const { return bytes_.data(); }
  std::size_t Size() const { return bytes_.size(); }

private:
  VertexBuffer(const D3DVERTEXBUFFER_DESC& desc, const void* owner) : desc_(desc), owner_(owner) {}

  D3DVERTEXBUFFER_DESC desc_;
  const void* owner_;
  std::vector<std::byte> bytes_;
  bool locked_ = false;
};

}  // namespace d3d9
