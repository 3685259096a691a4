-- A minimal Neovim client for `tracciato lsp`: opens one file, waits for the
-- server's diagnostics and writes them, one a line, to a file:
--   line:column:code:source:message   (0-based, as the editor counts)
-- Driven by TRACCIATO_EXE, TRACCIATO_FILE and TRACCIATO_OUT. Works with
-- Neovim 0.7 and later (vim.lsp.start_client).
local exe = assert(os.getenv("TRACCIATO_EXE"), "TRACCIATO_EXE")
local file = assert(os.getenv("TRACCIATO_FILE"), "TRACCIATO_FILE")
local out = assert(os.getenv("TRACCIATO_OUT"), "TRACCIATO_OUT")

local function finish(lines)
  local f = assert(io.open(out, "w"))
  f:write(table.concat(lines, "\n"), "\n")
  f:close()
  vim.cmd("qall!")
end

vim.cmd("edit! " .. vim.fn.fnameescape(file))
local buf = vim.api.nvim_get_current_buf()
local client = vim.lsp.start_client({
  name = "tracciato",
  cmd = { exe, "lsp" },
  root_dir = vim.fn.fnamemodify(file, ":p:h"),
})
if not client then
  finish({ "error: the client did not start" })
  return
end
vim.lsp.buf_attach_client(buf, client)

local ok = vim.wait(20000, function() return #vim.diagnostic.get(buf) > 0 end, 20)
local lines = {}
if not ok then table.insert(lines, "timeout") end
for _, d in ipairs(vim.diagnostic.get(buf)) do
  local code = d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code)
  local message = (d.message:gsub("\n", " "))
  table.insert(lines, string.format("%d:%d:%s:%s:%s", d.lnum, d.col, tostring(code), d.source or "", message))
end
finish(lines)
