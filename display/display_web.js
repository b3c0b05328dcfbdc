// The page's side of the display (display_web.cpp): the canvas, its size
// and the browser's events, kept in a queue that the frame loop takes from,
// one event per frame. The canvas is the page's <canvas id="canvas">.
mergeInto(LibraryManager.library, {
  $brumlakorDisplay: {
    events: [], // [kind, key]: 1 key down, 2 close, 3 size changed
    listening: [],
    fullScreen: false,
    refusal: '',
    canvas: function () { return document.getElementById('canvas'); },
    listen: function (target, type, handler) {
      target.addEventListener(type, handler, true);
      brumlakorDisplay.listening.push([target, type, handler]);
    },
    // The codes of DisplayEvent: Escape 27, letters as capitals, digits as
    // their characters, Return 13, Space 32, Tab 9, Backspace 8; else 0.
    keyCode: function (key) {
      var named = { Escape: 27, Enter: 13, ' ': 32, Tab: 9, Backspace: 8 };
      if (key in named) return named[key];
      if (/^[a-zA-Z0-9]$/.test(key)) return key.toUpperCase().charCodeAt(0);
      return 0;
    },
  },
  BrumlakorWebGlAvailable: function () {
    try {
      return document.createElement('canvas').getContext('webgl') ? 1 : 0;
    } catch (e) {
      return 0;
    }
  },
  BrumlakorRequestFullScreen__deps: ['$brumlakorDisplay', '$callUserCallback'],
  BrumlakorRequestFullScreen: function (then) {
    var display = brumlakorDisplay;
    var canvas = display.canvas();
    function answered(granted, why) {
      display.fullScreen = granted;
      display.refusal = why;
      callUserCallback(function () { {{{ makeDynCall('v', 'then') }}}(); });
    }
    canvas.style.display = 'block';
    if (!document.fullscreenEnabled || !canvas.requestFullscreen) {
      answered(false, 'the browser offers no full screen here');
      return;
    }
    canvas.requestFullscreen({ navigationUI: 'hide' }).then(
      function () { answered(true, ''); },
      function (error) { answered(false, String(error && error.message || error)); });
  },
  BrumlakorFullScreenGranted__deps: ['$brumlakorDisplay'],
  BrumlakorFullScreenGranted: function () { return brumlakorDisplay.fullScreen ? 1 : 0; },
  // Windowed: 640 x 480 CSS pixels at the page's top-left corner, the
  // drawing buffer at the screen's density. Full screen: the picture scaled
  // to fit with its aspect kept, on black, without a cursor.
  BrumlakorShowCanvas__deps: ['$brumlakorDisplay'],
  BrumlakorShowCanvas: function (width, height, fullScreen, hidden) {
    var display = brumlakorDisplay;
    var canvas = display.canvas();
    var style = canvas.style;
    style.position = 'absolute';
    style.left = '0';
    style.top = '0';
    style.width = width + 'px';
    style.height = height + 'px';
    style.display = hidden ? 'none' : 'block';
    function fit() {
      var density = fullScreen ? 1 : (window.devicePixelRatio || 1);
      canvas.width = Math.round(width * density);
      canvas.height = Math.round(height * density);
    }
    fit();
    if (fullScreen) {
      style.width = '100%';
      style.height = '100%';
      style.objectFit = 'contain';
      style.background = '#000';
      style.cursor = 'none';
      document.body.style.background = '#000';
      display.listen(document, 'fullscreenchange', function () {
        if (!document.fullscreenElement) display.events.push([2, 0]);
      });
    } else {
      display.listen(window, 'resize', function () {
        var before = canvas.width;
        fit();
        if (canvas.width !== before) display.events.push([3, 0]);
      });
    }
    display.listen(document, 'keydown', function (event) {
      display.events.push([1, display.keyCode(event.key)]);
      if (event.key === 'Escape' || event.key === 'Tab') event.preventDefault();
    });
  },
  BrumlakorOnPageLeft__deps: ['$brumlakorDisplay', '$callUserCallback'],
  BrumlakorOnPageLeft: function (left) {
    brumlakorDisplay.listen(window, 'pagehide', function () {
      callUserCallback(function () { {{{ makeDynCall('v', 'left') }}}(); });
    });
  },
  BrumlakorTakeEvent__deps: ['$brumlakorDisplay'],
  BrumlakorTakeEvent: function (key) {
    var event = brumlakorDisplay.events.shift();
    if (!event) return 0;
    HEAPU32[key >> 2] = event[1];
    return event[0];
  },
  BrumlakorDrawableWidth: function () { return document.getElementById('canvas').width; },
  BrumlakorDrawableHeight: function () { return document.getElementById('canvas').height; },
  BrumlakorCloseDisplay__deps: ['$brumlakorDisplay'],
  BrumlakorCloseDisplay: function () {
    var display = brumlakorDisplay;
    display.listening.forEach(function (l) { l[0].removeEventListener(l[1], l[2], true); });
    display.listening = [];
    display.events = [];
    if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
  },
});
