// glFinish in a browser: WebGL's finish() may return before the drawing is done (Chromium makes
// it a flush), and the frames drawn offline (shot, bench, capture) would then be timed, and the
// next begun, while the last is still being drawn. Reading one pixel back waits for it.
mergeInto(LibraryManager.library, {
  glFinish: function() {
    GLctx.finish();
    if (!GL.finishPixel) GL.finishPixel = new Uint8Array(4);
    GLctx.readPixels(0, 0, 1, 1, 0x1908 /* RGBA */, 0x1401 /* UNSIGNED_BYTE */, GL.finishPixel);
  },
});
