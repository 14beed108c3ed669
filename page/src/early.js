// Run as soon as the page has read the core's worker script, before the
// page's own scripts: the core's thread starts, its WebAssembly compiling
// while the page lays itself out.

import { startWorker } from './remote.js';

globalThis.quillmereCore = startWorker();
