// The objects of the software Direct3D 9 device: reference counts, the adapter's formats and faults,
// and calls that must fail instead of crashing.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "d3d9_canvas.h"

namespace {

using d3d9_test::At;
using d3d9_test::Canvas;
using d3d9_test::kVertexFormat;
using d3d9_test::Vertex;

class D3d9ObjectsTest : public testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(LiveDirect3DObjects(), liveBefore_); }

  UINT liveBefore_ = LiveDirect3DObjects();
};

// The reference count an object is left with, read through an AddRef/Release pair.
ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

TEST_F(D3d9ObjectsTest, BindingsHoldReferencesAndEverythingDiesWithItsLastRelease) {
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  std::vector<DWORD> pixels(8 * 8);
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(CreateViewDevice(d3d, {pixels.data(), 8, 8, 32}, &device), D3D_OK);
  EXPECT_EQ(References(d3d), 2u);  // the device holds its adapter
  IDirect3D9* fromDevice = nullptr;
  ASSERT_EQ(device->GetDirect3D(&fromDevice), D3D_OK);
  EXPECT_EQ(fromDevice, d3d);
  EXPECT_EQ(fromDevice->Release(), 2u);

  IDirect3DTexture9* texture = nullptr;
  IDirect3DVertexBuffer9* buffer = nullptr;
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  ASSERT_EQ(device->CreateVertexBuffer(3 * sizeof(Vertex), 0, kVertexFormat, D3DPOOL_DEFAULT, &buffer, nullptr),
            D3D_OK);
  EXPECT_EQ(LiveDirect3DObjects(), liveBefore_ + 4);
  ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
  ASSERT_EQ(device->SetStreamSource(0, buffer, 0, sizeof(Vertex)), D3D_OK);
  EXPECT_EQ(References(texture), 2u);
  EXPECT_EQ(References(buffer), 2u);
  ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);  // binding again takes no second reference
  EXPECT_EQ(References(texture), 2u);
  IDirect3DBaseTexture9* bound = nullptr;
  ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
  EXPECT_EQ(bound, texture);
  EXPECT_EQ(bound->Release(), 2u);

  // Released by their creator, bound objects live on until the device lets go of them.
  EXPECT_EQ(texture->Release(), 1u);
  EXPECT_EQ(buffer->Release(), 1u);
  EXPECT_EQ(LiveDirect3DObjects(), liveBefore_ + 4);
  ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
  EXPECT_EQ(LiveDirect3DObjects(), liveBefore_ + 3);
  EXPECT_EQ(device->Release(), 0u);  // also lets go of the vertex buffer and the adapter
  EXPECT_EQ(LiveDirect3DObjects(), liveBefore_ + 1);
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3d9ObjectsTest, AdapterFaultsRefuseFormatsAndFailCreation) {
  struct Case {
    const char* name;
    AdapterFaults faults;
    HRESULT a8r8g8b8, a4r4g4b4;  // CheckDeviceFormat and CreateTexture answers
    HRESULT vertexBuffer;
  };
  constexpr HRESULT kOk = D3D_OK, kRefused = D3DERR_NOTAVAILABLE, kFailed = D3DERR_OUTOFVIDEOMEMORY;
  const Case cases[] = {
      {"none", {}, kOk, kOk, kOk},
      {"A8R8G8B8 refused", {true, false, false, false}, kRefused, kOk, kOk},
      {"both refused", {true, true, false, false}, kRefused, kRefused, kOk},
      {"creation fails", {false, false, true, true}, kFailed, kFailed, kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(4, 4);
    ASSERT_TRUE(SetAdapterFaults(canvas.D3d(), c.faults));
    D3DCAPS9 caps{};
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(canvas.Device()->GetDeviceCaps(&caps), D3D_OK);
    ASSERT_EQ(canvas.D3d()->GetAdapterDisplayMode(caps.AdapterOrdinal, &mode), D3D_OK);
    const auto check = [&](D3DFORMAT format) {
      return canvas.D3d()->CheckDeviceFormat(caps.AdapterOrdinal, caps.DeviceType, mode.Format, 0, D3DRTYPE_TEXTURE,
                                             format);
    };
    const auto create = [&](D3DFORMAT format) {
      IDirect3DTexture9* texture = nullptr;
      const HRESULT result = canvas.Device()->CreateTexture(8, 8, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr);
      EXPECT_EQ(texture != nullptr, result == D3D_OK);
      if (texture) texture->Release();
      return result;
    };
    EXPECT_EQ(check(D3DFMT_A8R8G8B8), c.a8r8g8b8 == kRefused ? kRefused : kOk);
    EXPECT_EQ(check(D3DFMT_A4R4G4B4), c.a4r4g4b4 == kRefused ? kRefused : kOk);
    EXPECT_EQ(create(D3DFMT_A8R8G8B8), c.a8r8g8b8);
    EXPECT_EQ(create(D3DFMT_A4R4G4B4), c.a4r4g4b4);
    IDirect3DVertexBuffer9* buffer = nullptr;
    EXPECT_EQ(canvas.Device()->CreateVertexBuffer(308, 0, kVertexFormat, D3DPOOL_DEFAULT, &buffer, nullptr),
              c.vertexBuffer);
    if (buffer) buffer->Release();
  }
}

TEST_F(D3d9ObjectsTest, LocksHandOutTheRealPitchAndRefuseWhatDoesNotExist) {
  Canvas canvas(4, 4);
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(canvas.Device()->CreateTexture(3, 5, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  D3DSURFACE_DESC desc{};
  ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
  EXPECT_EQ(desc.Width, 3u);
  EXPECT_EQ(desc.Height, 5u);
  EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
  D3DLOCKED_RECT whole{}, part{};
  ASSERT_EQ(texture->LockRect(0, &whole, nullptr, 0), D3D_OK);
  EXPECT_GE(whole.Pitch, 6);
  EXPECT_EQ(texture->LockRect(0, &part, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  const RECT area{1, 2, 3, 4};
  ASSERT_EQ(texture->LockRect(0, &part, &area, 0), D3D_OK);
  EXPECT_EQ(static_cast<unsigned char*>(part.pBits) - static_cast<unsigned char*>(whole.pBits), 2 * whole.Pitch + 2);
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);

  const RECT outside{2, 0, 4, 1};
  EXPECT_EQ(texture->LockRect(0, &part, &outside, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->LockRect(1, &part, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->LockRect(0, nullptr, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->GetLevelDesc(1, &desc), D3DERR_INVALIDCALL);
  texture->Release();

  IDirect3DVertexBuffer9* buffer = nullptr;
  ASSERT_EQ(canvas.Device()->CreateVertexBuffer(308, 0, kVertexFormat, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
  void* data = nullptr;
  EXPECT_EQ(buffer->Lock(300, 16, &data, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(buffer->Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
  buffer->Release();
}

TEST_F(D3d9ObjectsTest, InvalidCallsAreRefusedWithoutDrawing) {
  Canvas canvas(8, 8);
  IDirect3DDevice9* device = canvas.Device();
  IDirect3DTexture9* texture = nullptr;
  IDirect3DVertexBuffer9* buffer = nullptr;
  EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateVertexBuffer(8, 0, kVertexFormat, D3DPOOL_DEFAULT, &buffer, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture, nullptr);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(device->SetTexture(8, nullptr), D3DERR_INVALIDCALL);

  // Draws: outside a scene, without a stream, beyond the buffer, with a stride shorter than a vertex.
  const Vertex triangle[] = {At(0, 0), At(8, 0), At(0, 8)};
  ASSERT_EQ(device->CreateVertexBuffer(sizeof triangle, 0, kVertexFormat, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
  void* data = nullptr;
  ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
  std::memcpy(data, triangle, sizeof triangle);
  buffer->Unlock();
  device->SetFVF(kVertexFormat);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // no scene yet
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // no stream
  device->SetStreamSource(0, buffer, 0, sizeof(Vertex));
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0xFFFFFFFFu, 0xFFFFFFFFu), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_LINELIST, 0, 1), D3DERR_INVALIDCALL);
  device->SetStreamSource(0, buffer, 0, 8);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
  device->SetStreamSource(0, buffer, 0, sizeof(Vertex));
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(canvas.Count(0), 64);
  device->SetFVF(kVertexFormat);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  EXPECT_EQ(device->EndScene(), D3D_OK);
  EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_GT(canvas.Count(0xFFFFFFFFu), 0);
  device->SetStreamSource(0, nullptr, 0, 0);
  buffer->Release();

  IDirect3DDevice9* noDevice = nullptr;
  EXPECT_EQ(CreateViewDevice(canvas.D3d(), {nullptr, 8, 8, 32}, &noDevice), D3DERR_INVALIDCALL);
  std::vector<DWORD> pixels(64);
  EXPECT_EQ(CreateViewDevice(canvas.D3d(), {pixels.data(), 8, 8, 28}, &noDevice), D3DERR_INVALIDCALL);
  EXPECT_EQ(CreateViewDevice(nullptr, {pixels.data(), 8, 8, 32}, &noDevice), D3DERR_INVALIDCALL);
  EXPECT_EQ(noDevice, nullptr);
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION + 1), nullptr);
}

}  // namespace
