// The page's side of the browser host: the canvas, the rests, full screen
// and the end of the game. Linked into hops.js with --js-library.
mergeInto(LibraryManager.library, {
  $hopsPage: {
    context: null,
    image: null,
    wake: null,
    channel: null,
  },

  // Puts count rectangles (x, y, width, height: four ints each at parts) of
  // the width x height RGBA pixels at ptr on the canvas. The pixels are
  // read where they lie, through an ImageData kept while they stay there.
  // The canvas is desynchronized: what is put reaches the display without
  // the page laying itself out and painting a frame of its own for it.
  hops_page_show__deps: ['$hopsPage'],
  hops_page_show: function(ptr, width, height, parts, count) {
    var image = hopsPage.image;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== ptr || image.width !== width ||
        image.height !== height) {
      image = hopsPage.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, ptr, width * height * 4), width, height);
    }
    if (!hopsPage.context) hopsPage.context = Module['canvas'].getContext('2d', {alpha: false, desynchronized: true});
    for (var i = 0; i < count; ++i) {
      var part = (parts >> 2) + 4 * i;
      hopsPage.context.putImageData(image, 0, 0, HEAP32[part], HEAP32[part + 1], HEAP32[part + 2], HEAP32[part + 3]);
    }
  },

  // Gives the page back to the browser for about ms milliseconds (0: only
  // for the events already waiting). A timer set from a timer's callback
  // waits at least 4 ms once timers nest deeply: a rest that long is woken
  // by its timer, a shorter one by a message the timer sends, which starts
  // a new chain. Each task the page wakes for costs the browser, so the
  // usual rest, most of a frame, takes one.
  hops_page_rest__deps: ['$hopsPage'],
  hops_page_rest: function(ms) {
    return Asyncify.handleSleep(function(wakeUp) {
      if (ms >= 4) {
        setTimeout(wakeUp, ms);
        return;
      }
      if (!hopsPage.channel) {
        hopsPage.channel = new MessageChannel();
        hopsPage.channel.port1.onmessage = function() {
          var wake = hopsPage.wake;
          hopsPage.wake = null;
          if (wake) wake();
        };
      }
      hopsPage.wake = wakeUp;
      if (ms <= 0) {
        hopsPage.channel.port2.postMessage(0);
      } else {
        setTimeout(function() { hopsPage.channel.port2.postMessage(0); }, ms);
      }
    });
  },

  // Alt+Enter and F11: the page's screen element fills the screen or leaves it.
  hops_page_toggle_full_screen: function() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(function() {});
      return;
    }
    var screen = Module['canvas'].parentElement || Module['canvas'];
    if (screen.requestFullscreen) screen.requestFullscreen().catch(function() {});
  },

  hops_page_statistics_wanted: function() {
    return new URLSearchParams(location.search).get('stats') === '1' ? 1 : 0;
  },

  hops_page_game_ended: function(exitCode) {
    if (Module['onGameEnded']) Module['onGameEnded'](exitCode);
  },
});
