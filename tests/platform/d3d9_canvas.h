#pragma once
// A view surface with a device drawing into it, for the device tests. The surface may sit inside a
// margin of sentinel pixels, so that a write outside the surface shows.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "d3d9.h"
#include "extensions/d3d9.h"

namespace d3d9_test {

struct Vertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
constexpr DWORD kVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr DWORD kSentinel = 0xDEADBEEFu;

inline Vertex At(float x, float y, D3DCOLOR diffuse = 0xFFFFFFFFu, float u = 0, float v = 0) {
  return {x, y, 0.5f, 1.0f, diffuse, u, v};
}

// The two triangles of the axis-aligned quad from (x0, y0) to (x1, y1), clockwise on screen, with
// texture coordinates from (u0, v0) to (u1, v1).
inline std::vector<Vertex> Quad(float x0, float y0, float x1, float y1, float u0 = 0, float v0 = 0, float u1 = 1,
                                float v1 = 1, D3DCOLOR diffuse = 0xFFFFFFFFu) {
  const Vertex a = At(x0, y0, diffuse, u0, v0), b = At(x1, y0, diffuse, u1, v0);
  const Vertex c = At(x1, y1, diffuse, u1, v1), d = At(x0, y1, diffuse, u0, v1);
  return {a, b, c, a, c, d};
}

class Canvas {
public:
  Canvas(UINT width, UINT height, UINT margin = 0)
      : width_(width),
        height_(height),
        margin_(margin),
        stride_(width + 2 * margin),
        store_(std::size_t{stride_} * (height + 2 * margin), kSentinel) {
    Clear(0);
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    ViewSurface surface;
    surface.pixels = &store_[std::size_t{margin} * stride_ + margin];
    surface.width = width;
    surface.height = height;
    surface.pitch = stride_ * 4;
    EXPECT_EQ(CreateViewDevice(d3d_, surface, &device_), D3D_OK);
  }
  ~Canvas() {
    for (IDirect3DTexture9* texture : textures_) texture->Release();
    if (device_) device_->Release();
    if (d3d_) d3d_->Release();
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  IDirect3D9* D3d() const { return d3d_; }
  IDirect3DDevice9* Device() const { return device_; }
  DWORD Pixel(int x, int y) const { return store_[(y + margin_) * std::size_t{stride_} + x + margin_]; }
  std::vector<DWORD> Pixels() const {
    std::vector<DWORD> pixels;
    for (UINT y = 0; y < height_; ++y) {
      for (UINT x = 0; x < width_; ++x) pixels.push_back(Pixel(x, y));
    }
    return pixels;
  }
  void Clear(DWORD colour) {
    for (UINT y = 0; y < height_; ++y) {
      for (UINT x = 0; x < width_; ++x) store_[(y + margin_) * std::size_t{stride_} + x + margin_] = colour;
    }
  }
  // Sets the surface's pixels, row by row.
  void SetPixels(const std::vector<DWORD>& pixels) {
    for (UINT y = 0; y < height_; ++y) {
      for (UINT x = 0; x < width_; ++x)
        store_[(y + margin_) * std::size_t{stride_} + x + margin_] = pixels[y * width_ + x];
    }
  }
  // Pixels of the surface with this colour.
  int Count(DWORD colour) const {
    int count = 0;
    for (UINT y = 0; y < height_; ++y) {
      for (UINT x = 0; x < width_; ++x) count += Pixel(x, y) == colour;
    }
    return count;
  }
  bool MarginIntact() const {
    for (UINT y = 0; y < height_ + 2 * margin_; ++y) {
      for (UINT x = 0; x < stride_; ++x) {
        const bool inside = y >= margin_ && y < height_ + margin_ && x >= margin_ && x < width_ + margin_;
        if (!inside && store_[std::size_t{y} * stride_ + x] != kSentinel) return false;
      }
    }
    return true;
  }

  // Draws `vertices` as `type` in a scene of their own, from a vertex buffer made for the draw.
  HRESULT Draw(D3DPRIMITIVETYPE type, const std::vector<Vertex>& vertices, UINT primitives = 0) {
    if (primitives == 0) {
      const UINT count = static_cast<UINT>(vertices.size());
      primitives = type == D3DPT_TRIANGLELIST ? count / 3 : count - 2;
    }
    IDirect3DVertexBuffer9* buffer = nullptr;
    const UINT bytes = static_cast<UINT>(vertices.size() * sizeof(Vertex));
    HRESULT result = device_->CreateVertexBuffer(bytes, 0, kVertexFormat, D3DPOOL_DEFAULT, &buffer, nullptr);
    if (result != D3D_OK) return result;
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, bytes, &data, 0), D3D_OK);
    std::memcpy(data, vertices.data(), bytes);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    device_->SetFVF(kVertexFormat);
    device_->SetStreamSource(0, buffer, 0, sizeof(Vertex));
    device_->BeginScene();
    result = device_->DrawPrimitive(type, 0, primitives);
    device_->EndScene();
    device_->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
    return result;
  }

  // A managed texture holding `texels` (0xAARRGGBB, or the 16-bit values of D3DFMT_A4R4G4B4) written
  // line by line through the locked pitch; bound to stage 0 and released with the canvas.
  IDirect3DTexture9* Texture(UINT width, UINT height, const std::vector<DWORD>& texels,
                             D3DFORMAT format = D3DFMT_A8R8G8B8) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device_->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    if (texture == nullptr) return nullptr;
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const std::size_t texelBytes = format == D3DFMT_A4R4G4B4 ? 2 : 4;
    for (UINT y = 0; y < height; ++y) {
      auto* line = static_cast<unsigned char*>(locked.pBits) + std::size_t(locked.Pitch) * y;
      for (UINT x = 0; x < width; ++x) std::memcpy(line + texelBytes * x, &texels[y * width + x], texelBytes);
    }
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(device_->SetTexture(0, texture), D3D_OK);
    textures_.push_back(texture);
    return texture;
  }

  void SetHalfTransparentBlending() {
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  }

private:
  UINT width_, height_, margin_, stride_;
  std::vector<DWORD> store_;
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  std::vector<IDirect3DTexture9*> textures_;
};

}  // namespace d3d9_test
