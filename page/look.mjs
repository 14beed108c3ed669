import { chromium } from 'playwright-core';
const [html, out] = process.argv.slice(2);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'] });
for (const [name, viewport] of [['desktop', { width: 1440, height: 900 }], ['phone', { width: 375, height: 812 }]]) {
  const page = await browser.newPage({ viewport });
  page.on('console', (m) => console.log(name, 'console', m.type(), m.text()));
  page.on('pageerror', (e) => console.log(name, 'pageerror', e.message));
  await page.goto('file://' + html);
  await page.waitForSelector('body[data-ready]');
  if (name === 'desktop') {
    await page.locator('.tabulator-cell[tabulator-field="i0"]').first().click();
    await page.keyboard.insertText('');
    await page.evaluate(() => {
      const dt = new DataTransfer();
      dt.setData('text/plain', '编号\t线型\te1\te2\te3\tk1\tk2\tk3\tlc\tlg1\tlg2\n KL1-1\tC4\t100\t100\t100\t0.1\t0.5\t0.1\t20000\t1000\t\nKL2-1\tC2a\t100\t100\t\t\t\t\t20000\t1000\t0\nKL3\tC4\t100\t100\t100\t0.1\t0.5\t0.1\t40000\t1000\t\n<img src=x onerror=alert(1)>\tC4\t150\t90\t120\t0.12\t0.45\t0.08\t17970\t1200\t');
      document.querySelector('#grid .tabulator-tableholder').dispatchEvent(new ClipboardEvent('paste', { clipboardData: dt, bubbles: true }));
    });
    await page.waitForTimeout(500);
  }
  await page.screenshot({ path: `${out}/${name}.png` });
  await page.close();
}
await browser.close();
