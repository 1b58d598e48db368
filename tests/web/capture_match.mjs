// Finds the picture zarvo-capture draws at a given sync count and light turn count, to compare a
// picture of the web page with it.
//
// The light turns once per rendered frame and the clock is the music's, so the capture draws the
// same scene as the page only at the same (sync count, turns). At F frames per second the
// capture's frame n sees the sync events of the music before sample floor(n * 48000 / F), and
// has turned the light once per frame since its opening frames. One capture at 750 frames per
// second (64 samples a frame) tells when each sync event comes; from it a frame rate is chosen
// whose frame (turns + openings) falls well inside the sync count's span, and a second capture
// at that rate is checked against its own frames.csv before its picture is used.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const kRate = 48000;
const kFineFps = 750; // 64 samples a frame

function runCapture(capture, module, out, fps, seconds, frames) {
  const args = ['--module', module, '--out', out, '--fps', fps, '--max-seconds', String(seconds), '--quiet'];
  if (!frames) { args.push('--no-frames'); }
  const result = spawnSync(capture, args, { encoding: 'utf8' });
  if (result.status !== 0) {
    throw new Error(`${capture} ${args.join(' ')} failed: ${result.stderr}`);
  }
  return readFileSync(join(out, 'frames.csv'), 'utf8').trim().split('\n').slice(1).map((line) => {
    const [frame, sync, phase] = line.split(',');
    return { frame: Number(frame), sync: Number(sync), phase };
  });
}

export class CaptureMatcher {
  constructor(capture, module, seconds) {
    this.capture = capture;
    this.module = module;
    this.folder = mkdtempSync(join(tmpdir(), 'zarvo-web-capture-'));
    const rows = runCapture(capture, module, join(this.folder, 'fine'), `${kFineFps}`, seconds, false);
    this.fine = rows.map((row) => row.sync);
  }

  // The sync count the music has delivered before a sample position, and how far (in samples)
  // the position is from where that count is no longer certain (negative: not certain). The fine
  // capture tells the count before every 64th sample only.
  syncAt(sample) {
    const step = kRate / kFineFps;
    const below = Math.floor(sample / step);
    const above = Math.ceil(sample / step);
    if (above >= this.fine.length) { return { sync: -1, margin: -1 }; }
    const sync = this.fine[below];
    if (this.fine[above] !== sync) { return { sync, margin: -1 }; }
    let low = below;
    let high = above;
    while (low > 0 && this.fine[low - 1] === sync) { --low; }
    while (high + 1 < this.fine.length && this.fine[high + 1] === sync) { ++high; }
    return { sync, margin: Math.min(sample - low * step, high * step - sample) };
  }

  // Frame rates (in hundredths of a frame per second, 20 to 200) at which the capture's frame
  // should show (sync, turns), the surest first. The fine capture cannot tell where within its
  // 64 samples a sync event falls, so a rate whose frames come near one is less sure.
  candidateRates(sync, turns) {
    const candidates = [];
    for (let hundredths = 2000; hundredths <= 20000; ++hundredths) {
      const fps = hundredths / 100;
      const sampleOf = (n) => Math.floor((n * kRate) / fps);
      let openings = 0;
      while (this.syncAt(sampleOf(openings)).sync < 3 && openings < 100000) { ++openings; }
      const frame = turns + openings;
      const at = this.syncAt(sampleOf(frame));
      if (at.sync !== sync && this.syncAt(sampleOf(frame) + kRate / kFineFps).sync !== sync) { continue; }
      const margin = Math.min(at.margin, this.syncAt(sampleOf(openings)).margin,
        this.syncAt(sampleOf(openings - 1)).margin);
      candidates.push({ hundredths, margin });
    }
    return candidates.sort((a, b) => b.margin - a.margin);
  }

  // The capture's 320x200 RGB picture at (sync, turns), checked against its frames.csv.
  picture(sync, turns) {
    const tried = [];
    for (const candidate of this.candidateRates(sync, turns).slice(0, 12)) {
      const fps = `${candidate.hundredths}/100`;
      const seconds = (((turns + 200) * 100) / candidate.hundredths).toFixed(3);
      const out = join(this.folder, `at-${sync}-${turns}-${candidate.hundredths}`);
      const frame = (rows) => {
        const openings = rows.filter((r) => r.phase === 'opening').length;
        const row = rows[turns + openings];
        return row && row.sync === sync && row.phase === 'main' ? row.frame : -1;
      };
      const expected = frame(runCapture(this.capture, this.module, out + '-csv', fps, seconds, false));
      if (expected < 0) {
        tried.push(fps);
        continue;
      }
      const upTo = (((expected + 2) * 100) / candidate.hundredths).toFixed(3);
      const rows = runCapture(this.capture, this.module, out, fps, upTo, true);
      const found = frame(rows);
      if (found < 0) { throw new Error(`the capture at ${fps} fps drew differently with frames written`); }
      const png = join(out, 'frames', `${String(found).padStart(6, '0')}.png`);
      const rgb = spawnSync('convert', [png, '-depth', '8', 'rgb:-'], { maxBuffer: 1 << 24 });
      if (rgb.status !== 0) { throw new Error(`convert ${png} failed: ${rgb.stderr}`); }
      return { rgb: rgb.stdout, fps };
    }
    throw new Error(`no capture showed sync ${sync} at turn ${turns} (tried ${tried.join(', ') || 'no rate'})`);
  }

  close() {
    rmSync(this.folder, { recursive: true, force: true });
  }
}

// The traced cells: the enlargement puts cell (x, y) of the 80x50 grid at pixel (4x, 4y).
// Returns the largest channel difference over the cells, and how many differ at all.
export function compareCells(a, b) {
  let worst = 0;
  let differing = 0;
  for (let y = 0; y < 200; y += 4) {
    for (let x = 0; x < 320; x += 4) {
      const i = (y * 320 + x) * 3;
      const d = Math.max(Math.abs(a[i] - b[i]), Math.abs(a[i + 1] - b[i + 1]), Math.abs(a[i + 2] - b[i + 2]));
      worst = Math.max(worst, d);
      if (d > 0) { ++differing; }
    }
  }
  return { worst, differing };
}
