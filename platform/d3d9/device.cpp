#include "device.h"

#include <cstdint>

#include "adapter_caps.h"
#include "pixel_pipeline.h"
#include "texel_format.h"
#include "texture.h"
#include "triangle_rasteriser.h"
#include "vertex_buffer.h"
#include "vertex_layout.h"

namespace d3d9 {

namespace {

// Vertices read by `count` primitives of `type`; 0 for a type this device does not draw.
std::uint64_t VerticesOf(D3DPRIMITIVETYPE type, UINT count) {
  switch (type) {
    case D3DPT_TRIANGLELIST: return 3 * std::uint64_t{count};
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return std::uint64_t{count} + 2;
    default: return 0;
  }
}

// The vertices of triangle `i` of a list, strip or fan. Every other triangle of a strip is taken in
// the opposite order, so that all of a strip's triangles wind the same way.
void CornersOf(D3DPRIMITIVETYPE type, std::uint64_t i, std::uint64_t (&corners)[3]) {
  if (type == D3DPT_TRIANGLELIST) {
    corners[0] = 3 * i, corners[1] = 3 * i + 1, corners[2] = 3 * i + 2;
  } else if (type == D3DPT_TRIANGLEFAN) {
    corners[0] = 0, corners[1] = i + 1, corners[2] = i + 2;
  } else if (i % 2 == 0) {
    corners[0] = i, corners[1] = i + 1, corners[2] = i + 2;
  } else {
    corners[0] = i + 1, corners[1] = i, corners[2] = i + 2;
  }
}

template <class Resource>
void Rebind(Resource*& binding, Resource* resource) {
  if (resource) resource->AddRef();
  if (binding) binding->Release();
  binding = resource;
}

}  // namespace

Device::Device(Adapter* adapter, const ViewSurface& surface) : adapter_(adapter), surface_(surface) {
  adapter_->AddRef();
}

Device::~Device() {
  for (Texture*& texture : textures_) Rebind<Texture>(texture, nullptr);
  Rebind<VertexBuffer>(stream_.buffer, nullptr);
  adapter_->Release();
}

HRESULT Device::GetDirect3D(IDirect3D9** d3d) {
  if (d3d == nullptr) return D3DERR_INVALIDCALL;
  adapter_->AddRef();
  *d3d = adapter_;
  return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps) {
  if (caps == nullptr) return D3DERR_INVALIDCALL;
  FillDeviceCaps(*caps);
  return D3D_OK;
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture9** texture, HANDLE* sharedHandle) {
  if (texture == nullptr) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  // Textures here are plain texel stores: no render targets, depth buffers or generated mipmaps.
  const bool dynamic = (usage & D3DUSAGE_DYNAMIC) != 0;
  if (sharedHandle != nullptr || width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize ||
      levels > Texture::FullChainLength(width, height) || pool > D3DPOOL_SCRATCH || (usage & ~D3DUSAGE_DYNAMIC) != 0 ||
      (dynamic && pool == D3DPOOL_MANAGED) || !IsTextureFormat(format)) {
    return D3DERR_INVALIDCALL;
  }
  if (!adapter_->TakesTextureFormat(format)) return D3DERR_NOTAVAILABLE;
  if (adapter_->Faults().failCreateTexture) return D3DERR_OUTOFVIDEOMEMORY;
  Texture* created = Texture::Create({width, height, levels, usage, format, pool}, this);
  if (created == nullptr) return E_OUTOFMEMORY;
  *texture = created;
  return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                                   HANDLE* sharedHandle) {
  if (buffer == nullptr) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  if (sharedHandle != nullptr || length == 0 || pool >= D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
  // A buffer of a vertex format holds at least one vertex.
  const auto layout = VertexLayout::FromFvf(fvf, 0);
  if (layout && length < layout->Size()) return D3DERR_INVALIDCALL;
  if (adapter_->Faults().failCreateVertexBuffer) return D3DERR_OUTOFVIDEOMEMORY;
  VertexBuffer* created =
      VertexBuffer::Create({D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage, pool, length, fvf}, this);
  if (created == nullptr) return E_OUTOFMEMORY;
  *buffer = created;
  return D3D_OK;
}

HRESULT Device::BeginScene() {
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT Device::EndScene() {
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  return states_.SetRender(state, value) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  return value && states_.GetRender(state, *value) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
  if (texture == nullptr || stage >= textures_.size()) return D3DERR_INVALIDCALL;
  *texture = textures_[stage];
  if (*texture) (*texture)->AddRef();
  return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  if (stage >= textures_.size()) return D3DERR_INVALIDCALL;
  Texture* bound = nullptr;
  if (texture) {
    bound = dynamic_cast<Texture*>(texture);
    // Textures outside video and managed memory cannot be drawn from.
    if (bound == nullptr || !bound->BelongsTo(this) || bound->Pool() == D3DPOOL_SYSTEMMEM ||
        bound->Pool() == D3DPOOL_SCRATCH) {
      return D3DERR_INVALIDCALL;
    }
  }
  Rebind(textures_[stage], bound);
  return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  return value && states_.GetStage(stage, type, *value) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  return states_.SetStage(stage, type, value) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
  return value && states_.GetSampler(sampler, type, *value) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  return states_.SetSampler(sampler, type, value) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::SetFVF(DWORD fvf) {
  fvf_ = fvf;
  return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
  if (stream != 0) return D3DERR_INVALIDCALL;
  VertexBuffer* bound = nullptr;
  if (buffer) {
    bound = dynamic_cast<VertexBuffer*>(buffer);
    if (bound == nullptr || !bound->BelongsTo(this)) return D3DERR_INVALIDCALL;
  }
  Rebind(stream_.buffer, bound);
  stream_.offset = offset;
  stream_.stride = stride;
  return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
  const std::uint64_t vertexCount = VerticesOf(type, primitiveCount);
  if (!inScene_ || primitiveCount == 0 || vertexCount == 0) return D3DERR_INVALIDCALL;
  const auto layout = VertexLayout::FromFvf(fvf_, states_.Stage0(D3DTSS_TEXCOORDINDEX) & 0xFFFFu);
  if (!layout || stream_.buffer == nullptr || stream_.stride < layout->Size()) return D3DERR_INVALIDCALL;
  // The last vertex must lie whole inside the buffer.
  const std::uint64_t size = stream_.buffer->Size();
  const std::uint64_t firstVertexEnd = std::uint64_t{stream_.offset} + layout->Size();
  if (firstVertexEnd > size || startVertex + vertexCount - 1 > (size - firstVertexEnd) / stream_.stride) {
    return D3DERR_INVALIDCALL;
  }

  const PixelPipeline pipeline = ResolvePixelPipeline(states_, textures_[0]);
  const RenderTarget target{surface_.pixels, static_cast<std::ptrdiff_t>(surface_.pitch / 4),
                            static_cast<int>(surface_.width), static_cast<int>(surface_.height)};
  const DWORD cullMode = states_.Render(D3DRS_CULLMODE);
  const std::byte* first = stream_.buffer->Bytes() + stream_.offset + std::uint64_t{startVertex} * stream_.stride;
  for (std::uint64_t i = 0; i < primitiveCount; ++i) {
    std::uint64_t indices[3];
    CornersOf(type, i, indices);
    const ScreenVertex corners[3] = {layout->Read(first + indices[0] * stream_.stride),
                                     layout->Read(first + indices[1] * stream_.stride),
                                     layout->Read(first + indices[2] * stream_.stride)};
    RasteriseTriangle(corners, cullMode, pipeline, target);
  }
  return D3D_OK;
}

}  // namespace d3d9
