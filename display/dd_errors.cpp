// DDErrorTable and DDErrorString.
#include "display/dd_errors.h"

#include <ddraw.h>

const DDErrorEntry DDErrorTable[111] = {
    {DD_OK, "The request completed successfully.."},
    {DDERR_ALREADYINITIALIZED, "The object has already been initialized.."},
    {DDERR_BLTFASTCANTCLIP,
     "A clipper is attached to the source surface, so the IDirectDrawSurface4::BltFast method "
     "cannot be used."},
    {DDERR_CANNOTATTACHSURFACE, "The surface cannot be attached to the requested surface."},
    {DDERR_CANNOTDETACHSURFACE, "The surface cannot be detached from the requested surface."},
    {DDERR_CANTCREATEDC,
     "Windows can not create any more device contexts (DCs), or a DC was requested for a "
     "palette-indexed surface when the surface had no palette and the display mode was not "
     "palette-indexed (in this case DirectDraw cannot select a proper palette into the DC)."},
    {DDERR_CANTDUPLICATE,
     "Primary and 3D surfaces, or surfaces that are implicitly created, cannot be duplicated."},
    {DDERR_CANTLOCKSURFACE,
     "Access to this surface is refused because no driver exists that can supply a pointer to "
     "the surface."},
    {DDERR_CANTPAGELOCK, "An attempt to page-lock the surface failed."},
    {DDERR_CANTPAGEUNLOCK, "An attempt to page-unlock the surface failed."},
    {DDERR_CLIPPERISUSINGHWND,
     "A clip list could not be added because the clipper is already watching a window."},
    {DDERR_COLORKEYNOTSET, "No source color key is specified for this operation."},
    {DDERR_CURRENTLYNOTAVAIL, "No support is currently available for the operation."},
    {DDERR_DCALREADYCREATED, "A device context has already been returned for this surface."},
    {DDERR_DEVICEDOESNTOWNSURFACE,
     "Surfaces created by one DirectDraw device cannot be used directly by another."},
    {DDERR_DIRECTDRAWALREADYCREATED,
     "A DirectDraw object for this driver has already been created in this process."},
    {DDERR_EXCEPTION, "An exception was encountered while performing the requested operation."},
    {DDERR_EXCLUSIVEMODEALREADYSET,
     "An attempt was made to set the cooperative level when it was already set to exclusive."},
    {DDERR_EXPIRED, "The data has expired and is therefore no longer valid."},
    {DDERR_GENERIC, "There is an undefined error condition."},
    {DDERR_HEIGHTALIGN, "The height of the rectangle provided is not a multiple of the required "
                        "alignment."},
    {DDERR_HWNDALREADYSET,
     "The cooperative-level window handle has already been set. It cannot be reset while the "
     "process has surfaces or palettes created."},
    {DDERR_HWNDSUBCLASSED,
     "DirectDraw is prevented from restoring state because the DirectDraw cooperative-level "
     "window handle has been subclassed."},
    {DDERR_IMPLICITLYCREATED, "The surface cannot be restored because it is an implicitly "
                              "created surface."},
    {DDERR_INCOMPATIBLEPRIMARY,
     "The primary surface creation request does not match the existing primary surface."},
    {DDERR_INVALIDCAPS,
     "One or more of the capability bits passed to the callback function are incorrect."},
    {DDERR_INVALIDCLIPLIST, "DirectDraw does not support the provided clip list."},
    {DDERR_INVALIDDIRECTDRAWGUID,
     "The GUID passed to the DirectDrawCreate function is not a valid DirectDraw driver "
     "identifier."},
    {DDERR_INVALIDMODE, "DirectDraw does not support the requested mode."},
    {DDERR_INVALIDOBJECT, "DirectDraw received a pointer that was an invalid DirectDraw object."},
    {DDERR_INVALIDPARAMS, "One or more of the parameters passed to the method are incorrect."},
    {DDERR_INVALIDPIXELFORMAT, "The pixel format was invalid as specified."},
    {DDERR_INVALIDPOSITION, "The position of the overlay on the destination is no longer legal."},
    {DDERR_INVALIDRECT, "The provided rectangle was invalid."},
    {DDERR_INVALIDSTREAM, "The specified stream contains invalid data"},
    {DDERR_INVALIDSURFACETYPE, "The surface was of the wrong type for the requested operation."},
    {DDERR_LOCKEDSURFACES, "One or more surfaces are locked, preventing the operation."},
    {DDERR_MOREDATA, "There is more data available than the specified buffer size can hold"},
    {DDERR_NO3D, "No 3D hardware or emulation is present."},
    {DDERR_NOALPHAHW, "No alpha acceleration hardware is present or available."},
    {DDERR_NOBLTHW, "No blitter hardware is present."},
    {DDERR_NOCLIPLIST, "No clip list is available."},
    {DDERR_NOCLIPPERATTACHED, "No DirectDrawClipper object is attached to the surface."},
    {DDERR_NOCOLORCONVHW, "No color-conversion hardware is present or available."},
    {DDERR_NOCOLORKEY, "The surface does not currently have a color key."},
    {DDERR_NOCOLORKEYHW, "There is no hardware support for the destination color key."},
    {DDERR_NOCOOPERATIVELEVELSET,
     "A create function is called without the IDirectDraw4::SetCooperativeLevel method being "
     "called."},
    {DDERR_NODC, "No device context (DC) has ever been created for this surface."},
    {DDERR_NODDROPSHW, "No DirectDraw raster operation (ROP) hardware is available."},
    {DDERR_NODIRECTDRAWHW,
     "Hardware-only DirectDraw object creation is not possible; the driver does not support any "
     "hardware."},
    {DDERR_NODIRECTDRAWSUPPORT,
     "DirectDraw support is not possible with the current display driver."},
    {DDERR_NOEMULATION, "Software emulation is not available."},
    {DDERR_NOEXCLUSIVEMODE,
     "The operation requires the application to have exclusive mode, but it does not."},
    {DDERR_NOFLIPHW, "Flipping visible surfaces is not supported."},
    {DDERR_NOFOCUSWINDOW,
     "An attempt was made to create or set a device window without first setting the focus "
     "window."},
    {DDERR_NOGDI, "No GDI is present."},
    {DDERR_NOHWND,
     "Clipper notification requires a window handle, or no window handle has been previously "
     "set as the cooperative level window handle."},
    {DDERR_NOMIPMAPHW, "No mipmap-capable texture mapping hardware is present or available."},
    {DDERR_NOMIRRORHW, "No mirroring hardware is present or available."},
    {DDERR_NONONLOCALVIDMEM,
     "An attempt was made to allocate non-local video memory from a device that does not "
     "support it."},
    {DDERR_NOOPTIMIZEHW, "The device does not support optimized surfaces."},
    {DDERR_NOOVERLAYDEST,
     "The overlay position was queried on an overlay that has no destination."},
    {DDERR_NOOVERLAYHW, "No overlay hardware is present or available."},
    {DDERR_NOPALETTEATTACHED, "No palette object is attached to this surface."},
    {DDERR_NOPALETTEHW, "There is no hardware support for 16- or 256-color palettes."},
    {DDERR_NORASTEROPHW, "No appropriate raster operation hardware is present or available."},
    {DDERR_NOROTATIONHW, "No rotation hardware is present or available."},
    {DDERR_NOSTRETCHHW, "There is no hardware support for stretching."},
    {DDERR_NOT4BITCOLOR,
     "The surface does not use a 4-bit palette and the operation requires one."},
    {DDERR_NOT4BITCOLORINDEX,
     "The surface does not use a 4-bit color index palette and the operation requires one."},
    {DDERR_NOT8BITCOLOR,
     "The surface does not use an 8-bit palette and the operation requires one."},
    {DDERR_NOTAOVERLAYSURFACE, "An overlay operation was called on a surface that is not an "
                               "overlay."},
    {DDERR_NOTEXTUREHW, "No texture-mapping hardware is present or available."},
    {DDERR_NOTFLIPPABLE, "An attempt was made to flip a surface that cannot be flipped."},
    {DDERR_NOTFOUND, "The requested item was not found."},
    {DDERR_NOTINITIALIZED,
     "An attempt was made to call an interface method of a DirectDraw object created by "
     "CoCreateInstance before the object was initialized."},
    {DDERR_NOTLOADED, "The surface is an optimized surface, but it has not yet been allocated "
                      "any memory."},
    {DDERR_NOTLOCKED, "An attempt was made to unlock a surface that was not locked."},
    {DDERR_NOTPAGELOCKED,
     "An attempt was made to page-unlock a surface that had no outstanding page locks."},
    {DDERR_NOTPALETTIZED, "The surface being used is not a palette-based surface."},
    {DDERR_NOVSYNCHW, "There is no hardware support for vertical blank synchronized operations."},
    {DDERR_NOZBUFFERHW, "There is no hardware support for z-buffers."},
    {DDERR_NOZOVERLAYHW,
     "The overlay surfaces cannot be z-layered because the hardware does not support it."},
    {DDERR_OUTOFCAPS, "The hardware needed for the requested operation has already been "
                      "allocated."},
    {DDERR_OUTOFMEMORY, "DirectDraw does not have enough memory to perform the operation."},
    {DDERR_OUTOFVIDEOMEMORY,
     "DirectDraw does not have enough display memory to perform the operation."},
    {DDERR_OVERLAPPINGRECTS,
     "The operation could not be carried out because the source and destination rectangles are "
     "on the same surface and overlap each other."},
    {DDERR_OVERLAYCANTCLIP, "The hardware does not support clipped overlays."},
    {DDERR_OVERLAYCOLORKEYONLYONEACTIVE,
     "An attempt was made to have more than one color key active on an overlay."},
    {DDERR_OVERLAYNOTVISIBLE, "The overlay position was queried while the overlay was hidden."},
    {DDERR_PALETTEBUSY,
     "Access to this palette is refused because it is locked by another thread."},
    {DDERR_PRIMARYSURFACEALREADYEXISTS, "This process has already created a primary surface."},
    {DDERR_REGIONTOOSMALL, "The region passed to the IDirectDrawClipper::GetClipList method is "
                           "too small."},
    {DDERR_SURFACEALREADYATTACHED,
     "An attempt was made to attach a surface to another surface to which it is already "
     "attached."},
    {DDERR_SURFACEALREADYDEPENDENT,
     "An attempt was made to make a surface a dependency of another surface on which it is "
     "already dependent."},
    {DDERR_SURFACEBUSY,
     "Access to the surface is refused because the surface is locked by another thread."},
    {DDERR_SURFACEISOBSCURED, "Access to the surface is refused because the surface is obscured."},
    {DDERR_SURFACELOST,
     "Access to the surface is refused because the surface memory is gone. Call the "
     "IDirectDrawSurface4::Restore method on this surface to restore the memory associated with "
     "it."},
    {DDERR_SURFACENOTATTACHED, "The requested surface is not attached."},
    {DDERR_TOOBIGHEIGHT, "The height requested by DirectDraw is too large."},
    {DDERR_TOOBIGSIZE, "The size requested by DirectDraw is too large, although the width and "
                       "height may each be acceptable."},
    {DDERR_TOOBIGWIDTH, "The width requested by DirectDraw is too large."},
    {DDERR_UNSUPPORTED, "The operation is not supported."},
    {DDERR_UNSUPPORTEDFORMAT, "The pixel format requested is not supported by DirectDraw."},
    {DDERR_UNSUPPORTEDMASK,
     "The bitmask in the pixel format requested is not supported by DirectDraw."},
    {DDERR_UNSUPPORTEDMODE, "The display is currently in an unsupported mode."},
    {DDERR_VERTICALBLANKINPROGRESS, "A vertical blank is in progress."},
    {DDERR_VIDEONOTACTIVE, "The video port is not active."},
    {DDERR_WASSTILLDRAWING,
     "The previous blit operation that is transferring information to or from this surface is "
     "incomplete."},
    {DDERR_WRONGMODE,
     "This surface cannot be restored because it was created in a different mode."},
    {DDERR_XALIGN, "The provided rectangle was not horizontally aligned on a required "
                   "boundary."},
};

const char* DDErrorString(HRESULT code) {
    for (const DDErrorEntry& entry : DDErrorTable) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    return "( Unknown Error )";
}
