// The page's side of the player's sound device (output_web.cpp, in the side
// module): the AudioContext and its ScriptProcessorNode. The player opens
// its device before the question, but the context is made at the visitor's
// first click or key press, the answer: inside a gesture it may start at
// once, and making the first context of a browser can take a third of a
// second, which the page would otherwise spend before the question. If it
// cannot be made, or is still not running a second later, the player goes
// on with its silent clock.
mergeInto(LibraryManager.library, {
  $brumlakorAudio: { context: null, node: null, stallTimer: 0, started: false },
  BrumlakorAudioOpen__deps: ['$brumlakorAudio', '$callUserCallback'],
  BrumlakorAudioOpen: function (frequency, frames, buffer, fill, stalled) {
    var audio = brumlakorAudio;
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
      console.warn('Brumlakor: no Web Audio in this browser; the show goes on silent');
      return 0;
    }
    function fallBack(why) {
      console.warn('Brumlakor: ' + why + '; the show goes on silent');
      callUserCallback(function () { {{{ makeDynCall('v', 'stalled') }}}(); });
    }
    // Milliseconds until a block that starts at context time `at` is heard,
    // by the output clock where the browser has one.
    function untilHeard(context, at) {
      var stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
      if (stamp && stamp.performanceTime > 0)
        return stamp.performanceTime + (at - stamp.contextTime) * 1000 - performance.now();
      return (at - context.currentTime + (context.outputLatency || context.baseLatency || 0)) * 1000;
    }
    function render(event) {
      var out = event.outputBuffer;
      var count = out.length;
      var ahead = untilHeard(audio.context, event.playbackTime) * frequency / 1000;
      callUserCallback(function () { {{{ makeDynCall('vid', 'fill') }}}(count, ahead); });
      var left = out.getChannelData(0), right = out.getChannelData(1);
      var samples = HEAP16.subarray(buffer >> 1, (buffer >> 1) + 2 * count);
      for (var i = 0; i < count; i++) {
        left[i] = samples[2 * i] / 32768;
        right[i] = samples[2 * i + 1] / 32768;
      }
    }
    audio.onGesture = function () {
      document.removeEventListener('pointerdown', audio.onGesture, true);
      document.removeEventListener('keydown', audio.onGesture, true);
      audio.onGesture = null;
      try {
        audio.context = new Context({ sampleRate: frequency, latencyHint: 'interactive' });
        audio.node = audio.context.createScriptProcessor(frames, 0, 2);
      } catch (error) {
        if (audio.context) audio.context.close();
        audio.context = audio.node = null;
        fallBack('Web Audio refused (' + error + ')');
        return;
      }
      audio.node.onaudioprocess = render;
      if (audio.started) audio.node.connect(audio.context.destination);
      var context = audio.context;
      if (context.state !== 'running') context.resume().catch(function () {});
      audio.stallTimer = setTimeout(function () {
        audio.stallTimer = 0;
        if (audio.context && context.state !== 'running')
          fallBack('the browser did not start the sound');
      }, 1000);
    };
    document.addEventListener('pointerdown', audio.onGesture, true);
    document.addEventListener('keydown', audio.onGesture, true);
    return 1;
  },
  BrumlakorAudioStart__deps: ['$brumlakorAudio'],
  BrumlakorAudioStart: function () {
    var audio = brumlakorAudio;
    audio.started = true;
    if (audio.node) audio.node.connect(audio.context.destination);
  },
  BrumlakorAudioClose__deps: ['$brumlakorAudio'],
  BrumlakorAudioClose: function () {
    var audio = brumlakorAudio;
    clearTimeout(audio.stallTimer);
    audio.stallTimer = 0;
    audio.started = false;
    if (audio.onGesture) {
      document.removeEventListener('pointerdown', audio.onGesture, true);
      document.removeEventListener('keydown', audio.onGesture, true);
      audio.onGesture = null;
    }
    if (!audio.context) return;
    audio.node.onaudioprocess = null;
    audio.node.disconnect();
    audio.context.close();
    audio.context = audio.node = null;
  },
});
