#pragma once
// Device states of the echo pass (texel colour and opacity modulated by the sector's colour, blended
// over the chart) and of the sweep highlight pass (the sector's colour alone).
class IDirect3DDevice9;

void BeginEchoScene(IDirect3DDevice9* device);
void SelectVertexColour(IDirect3DDevice9* device);
// Ends the scene and leaves the device in its default states, holding nothing of the echo.
void EndEchoScene(IDirect3DDevice9* device);
