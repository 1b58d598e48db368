// A static web server for the tests: serves a folder on 127.0.0.1 as any plain server would,
// with files the test names answered 404 (a page whose module is missing).
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';

const kTypes = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.ico': 'image/x-icon', '.xm': 'application/octet-stream',
};

export async function serve(folder, hidden = new Set()) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const name = path.replace(/^\/+/, '');
    if (name.includes('..') || hidden.has(name)) {
      response.writeHead(404).end('not found');
      return;
    }
    try {
      const data = await readFile(join(folder, name));
      response.writeHead(200, { 'Content-Type': kTypes[extname(name)] || 'application/octet-stream' });
      response.end(data);
    } catch {
      response.writeHead(404).end('not found');
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}
