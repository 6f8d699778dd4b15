// Free functions over display surfaces: sizes, pixel values in the surface's own format,
// colour keys, fills, off-screen surfaces, tiles and blits clipped to the destination.
#pragma once

#include <cstdint>

#include "platform/video/ddraw.h"
#include "shell/ptr_array.h"

void GetSurfaceSize(Surface* surface, int* width, int* height);
uint16_t MakeSurfaceColor(Surface* surface, int red, int green, int blue);
void SetSurfaceColorKey(Surface* surface, int red, int green, int blue);
Surface* CreateOffscreenSurface(int width, int height);
void FillSurfaceRGB(Surface* surface, int red, int green, int blue);
void FillSurface(Surface* surface, int value);
Surface* CopySurface(Surface* surface);
void* LockSurface(Surface* surface, SurfaceDesc* desc);
void UnlockSurface(Surface* surface);
uint32_t GetSurfacePixel(Surface* surface, int x, int y);
uint32_t SetSurfacePixel(Surface* surface, int x, int y, int value);
void CentreSurfaceRect(Surface* surface, int x, int y, int w, int h, Rect* out);
int SplitSurface(Surface* source, FrameList* list, int tileWidth, int tileHeight, int* columns);
int LoadTiledBitmap(const char* fileName, FrameList* list, int tileWidth, int tileHeight,
                    int* columns);
Surface* LoadPaletteBitmap(const char* fileName);
Surface* ConvertPaletteSurface(Surface* source);
// flags -1: wait and source colour key; otherwise the blit flags as given.
void ClippedBlt(Surface* source, Surface* destination, int x, int y, int flags);
void ClippedBltRect(Surface* source, int sx, int sy, int w, int h, Surface* destination, int x,
                    int y, int flags);
void BlitToBothBuffers(Surface* destination, Surface* source);
