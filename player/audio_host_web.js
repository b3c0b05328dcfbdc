// The page's side of the player's sound device (output_web.cpp, in the side
// module): the AudioContext and its ScriptProcessorNode. The context is made
// at the player's start, before the question; browsers keep it suspended
// until a user gesture, so the first click or key press resumes it. If it is
// still not running a second later, the player goes on with its silent clock.
mergeInto(LibraryManager.library, {
  $brumlakorAudio: { context: null, node: null, stallTimer: 0, stalled: 0 },
  BrumlakorAudioOpen__deps: ['$brumlakorAudio', '$callUserCallback'],
  BrumlakorAudioOpen: function (frequency, frames, buffer, fill, stalled) {
    var audio = brumlakorAudio;
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
      console.warn('Brumlakor: no Web Audio in this browser; the show goes on silent');
      return 0;
    }
    try {
      audio.context = new Context({ sampleRate: frequency, latencyHint: 'interactive' });
      audio.node = audio.context.createScriptProcessor(frames, 0, 2);
    } catch (error) {
      console.warn('Brumlakor: Web Audio refused (' + error + '); the show goes on silent');
      audio.context = null;
      return 0;
    }
    var context = audio.context;
    // Milliseconds until a block that starts at context time `at` is heard,
    // by the output clock where the browser has one.
    function untilHeard(at) {
      var stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
      if (stamp && stamp.performanceTime > 0)
        return stamp.performanceTime + (at - stamp.contextTime) * 1000 - performance.now();
      return (at - context.currentTime + (context.outputLatency || context.baseLatency || 0)) * 1000;
    }
    audio.node.onaudioprocess = function (event) {
      var out = event.outputBuffer;
      var count = out.length;
      var ahead = untilHeard(event.playbackTime) * frequency / 1000;
      callUserCallback(function () { {{{ makeDynCall('vid', 'fill') }}}(count, ahead); });
      var left = out.getChannelData(0), right = out.getChannelData(1);
      var samples = HEAP16.subarray(buffer >> 1, (buffer >> 1) + 2 * count);
      for (var i = 0; i < count; i++) {
        left[i] = samples[2 * i] / 32768;
        right[i] = samples[2 * i + 1] / 32768;
      }
    };
    audio.stalled = stalled;
    audio.onGesture = function () {
      document.removeEventListener('pointerdown', audio.onGesture, true);
      document.removeEventListener('keydown', audio.onGesture, true);
      if (!audio.context || context.state === 'running') return;
      context.resume().catch(function () {});
      audio.stallTimer = setTimeout(function () {
        audio.stallTimer = 0;
        if (!audio.context || context.state === 'running') return;
        console.warn('Brumlakor: the browser did not start the sound; the show goes on silent');
        callUserCallback(function () { {{{ makeDynCall('v', 'stalled') }}}(); });
      }, 1000);
    };
    document.addEventListener('pointerdown', audio.onGesture, true);
    document.addEventListener('keydown', audio.onGesture, true);
    return 1;
  },
  BrumlakorAudioStart__deps: ['$brumlakorAudio'],
  BrumlakorAudioStart: function () {
    var audio = brumlakorAudio;
    audio.node.connect(audio.context.destination);
  },
  BrumlakorAudioClose__deps: ['$brumlakorAudio'],
  BrumlakorAudioClose: function () {
    var audio = brumlakorAudio;
    if (!audio.context) return;
    clearTimeout(audio.stallTimer);
    audio.stallTimer = 0;
    document.removeEventListener('pointerdown', audio.onGesture, true);
    document.removeEventListener('keydown', audio.onGesture, true);
    audio.node.onaudioprocess = null;
    audio.node.disconnect();
    audio.context.close();
    audio.context = null;
  },
});
